// SQL templates (tools/catalogue/templates/*.sql), filled in by the generator. A template
// is the SQL as it ships, with holes: {{key}} takes the text given for key, and {{> file}}
// the text of another template of the folder, filled in the same way (without its last
// newline). A hole with nothing given for it stops the generator, so that no script ships
// with one.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace ardudf::catalogue {

using Fields = std::map<std::string, std::string, std::less<>>;

// The template file, filled in with fields; exits with a message on a missing file or key.
std::string fill(std::string_view file, const Fields& fields);

// The same for a text read elsewhere (the PSQL bodies), named by where for the messages.
std::string fill_text(const std::string& text, std::string_view where, const Fields& fields);

} // namespace ardudf::catalogue
