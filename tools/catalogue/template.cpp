#include "template.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace ardudf::catalogue {
namespace {

[[noreturn]] void die(const std::string& message) {
    std::fprintf(stderr, "ardudf_catalogue: %s\n", message.c_str());
    std::exit(1);
}

std::string read(std::string_view file) {
    const std::string path = std::string(ARDUDF_TEMPLATE_DIR) + "/" + std::string(file);
    std::ifstream in(path, std::ios::binary);
    if (!in) die("no template " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string fill_text(const std::string& text, std::string_view file, const Fields& fields, int depth) {
    if (depth > 8) die("templates include each other: " + std::string(file));
    std::string out;
    std::size_t at = 0;
    for (std::size_t open; (open = text.find("{{", at)) != std::string::npos;) {
        const std::size_t close = text.find("}}", open);
        if (close == std::string::npos) die(std::string(file) + ": {{ without }}");
        out.append(text, at, open - at);
        const std::string key = text.substr(open + 2, close - open - 2);
        if (key.rfind("> ", 0) == 0) {
            std::string part = fill_text(read(key.substr(2)), key.substr(2), fields, depth + 1);
            if (!part.empty() && part.back() == '\n') part.pop_back();
            out += part;
        } else if (const auto it = fields.find(key); it != fields.end()) {
            out += it->second;
        } else {
            die(std::string(file) + ": nothing to fill {{" + key + "}} with");
        }
        at = close + 2;
    }
    return out.append(text, at);
}

} // namespace

std::string fill(std::string_view file, const Fields& fields) { return fill_text(read(file), file, fields, 0); }

std::string fill_text(const std::string& text, std::string_view where, const Fields& fields) {
    return fill_text(text, where, fields, 0);
}

} // namespace ardudf::catalogue
