#include "engine.h"

#include <ibase.h>
#include <iberror.h>

#include <atomic>
#include <cstring>
#include <set>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <iconv.h>
#endif

namespace fb = ::Firebird;

namespace host {
namespace {

using Wrapper = fb::CheckStatusWrapper;

// ---- status ------------------------------------------------------------------------------

// A status vector with copies of its strings: the module may raise with a text of its own
// stack (the engine copies too).
class Status final : public fb::IStatusImpl<Status, Wrapper> {
public:
    void dispose() override { delete this; }
    void init() override {
        errors_.clear();
        warnings_.clear();
        strings_.clear();
    }
    unsigned getState() const override {
        return (errors_.empty() ? 0 : STATE_ERRORS) | (warnings_.empty() ? 0 : STATE_WARNINGS);
    }
    void setErrors2(unsigned length, const intptr_t* value) override { copy(errors_, value, length); }
    void setWarnings2(unsigned length, const intptr_t* value) override { copy(warnings_, value, length); }
    void setErrors(const intptr_t* value) override { copy(errors_, value, ~0U); }
    void setWarnings(const intptr_t* value) override { copy(warnings_, value, ~0U); }
    const intptr_t* getErrors() const override { return errors_.empty() ? clean : errors_.data(); }
    const intptr_t* getWarnings() const override { return warnings_.empty() ? clean : warnings_.data(); }
    fb::IStatus* clone() const override {
        auto* c = new Status();
        c->setErrors(getErrors());
        c->setWarnings(getWarnings());
        return c;
    }

private:
    static constexpr intptr_t clean[] = {isc_arg_gds, 0, isc_arg_end};

    void copy(std::vector<intptr_t>& to, const intptr_t* v, unsigned length) {
        to.clear();
        unsigned i = 0;
        while (i < length && v[i] != isc_arg_end) {
            const intptr_t kind = v[i];
            to.push_back(kind);
            switch (kind) {
            case isc_arg_cstring: {
                const auto n = static_cast<std::size_t>(v[i + 1]);
                strings_.push_back(std::make_unique<std::string>(reinterpret_cast<const char*>(v[i + 2]), n));
                to.back() = isc_arg_string;
                to.push_back(reinterpret_cast<intptr_t>(strings_.back()->c_str()));
                i += 3;
                continue;
            }
            case isc_arg_string:
            case isc_arg_interpreted:
            case isc_arg_sql_state:
                strings_.push_back(std::make_unique<std::string>(reinterpret_cast<const char*>(v[i + 1])));
                to.push_back(reinterpret_cast<intptr_t>(strings_.back()->c_str()));
                break;
            default:
                to.push_back(v[i + 1]);
                break;
            }
            i += 2;
        }
        if (to.size() == 2 && to[0] == isc_arg_gds && to[1] == 0) to.clear();
        if (!to.empty()) to.push_back(isc_arg_end);
    }

    std::vector<intptr_t> errors_, warnings_;
    std::vector<std::unique_ptr<std::string>> strings_;
};

// ---- message metadata --------------------------------------------------------------------

struct Item {
    Param p;
    int sub_type = 0;
    bool finished = false;
    unsigned offset = 0, null_offset = 0;
};

// The default length of a type set without one (the engine's type_lengths).
unsigned default_length(unsigned type) {
    switch (type & ~1U) {
    case SQL_SHORT:
        return 2;
    case SQL_LONG:
    case SQL_FLOAT:
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIME:
        return 4;
    case SQL_INT64:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
    case SQL_TIMESTAMP:
    case SQL_BLOB:
    case SQL_ARRAY:
    case SQL_QUAD:
        return 8;
    case SQL_BOOLEAN:
        return 1;
    default:
        return 0;
    }
}

// The engine's type_alignments; doubles and 64-bit integers on 8 bytes, as the engine is
// built for Windows (both) and 64-bit Linux.
unsigned alignment(unsigned type) {
    switch (type & ~1U) {
    case SQL_VARYING:
    case SQL_SHORT:
        return 2;
    case SQL_LONG:
    case SQL_FLOAT:
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIME:
    case SQL_TIMESTAMP:
    case SQL_BLOB:
    case SQL_ARRAY:
    case SQL_QUAD:
        return 4;
    case SQL_INT64:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return 8;
    default:
        return 1;
    }
}

unsigned align(unsigned offset, unsigned to) { return (offset + to - 1) / to * to; }

// fb_utils::sqlTypeToDsc: where a value and its null flag lie, and the offset behind them.
unsigned place(unsigned at, unsigned type, unsigned length, unsigned* offset, unsigned* null_offset) {
    const unsigned size = (type & ~1U) == SQL_VARYING ? length + sizeof(ISC_USHORT) : length;
    at = align(at, alignment(type));
    *offset = at;
    at = align(at + size, sizeof(ISC_SHORT));
    *null_offset = at;
    return at + sizeof(ISC_SHORT);
}

class Builder;

class Metadata final : public fb::IMessageMetadataImpl<Metadata, Wrapper> {
public:
    explicit Metadata(std::vector<Item> items) : items_(std::move(items)) {
        for (auto& item : items_) length_ = place(length_, item.p.type, item.p.length, &item.offset, &item.null_offset);
    }
    void addRef() override { ++refs_; }
    int release() override {
        const int left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    unsigned getCount(Wrapper*) override { return static_cast<unsigned>(items_.size()); }
    const char* getField(Wrapper* s, unsigned i) override { return at(s, i) ? items_[i].p.name.c_str() : nullptr; }
    const char* getRelation(Wrapper* s, unsigned i) override { return at(s, i) ? "" : nullptr; }
    const char* getOwner(Wrapper* s, unsigned i) override { return at(s, i) ? "" : nullptr; }
    const char* getAlias(Wrapper* s, unsigned i) override { return getField(s, i); }
    unsigned getType(Wrapper* s, unsigned i) override { return at(s, i) ? items_[i].p.type : 0; }
    FB_BOOLEAN isNullable(Wrapper* s, unsigned i) override { return at(s, i) && (items_[i].p.type & 1) != 0; }
    int getSubType(Wrapper* s, unsigned i) override { return at(s, i) ? items_[i].sub_type : 0; }
    unsigned getLength(Wrapper* s, unsigned i) override { return at(s, i) ? items_[i].p.length : 0; }
    int getScale(Wrapper* s, unsigned i) override { return at(s, i) ? items_[i].p.scale : 0; }
    unsigned getCharSet(Wrapper* s, unsigned i) override { return at(s, i) ? items_[i].p.charset : 0; }
    unsigned getOffset(Wrapper* s, unsigned i) override { return at(s, i) ? items_[i].offset : 0; }
    unsigned getNullOffset(Wrapper* s, unsigned i) override { return at(s, i) ? items_[i].null_offset : 0; }
    fb::IMetadataBuilder* getBuilder(Wrapper* status) override;
    unsigned getMessageLength(Wrapper*) override { return length_; }

    const std::vector<Item>& items() const { return items_; }

private:
    bool at(Wrapper* status, unsigned i) {
        if (i < items_.size()) return true;
        const intptr_t v[] = {isc_arg_gds,    isc_invalid_index_val,
                              isc_arg_number, static_cast<intptr_t>(i),
                              isc_arg_string, reinterpret_cast<intptr_t>("IMessageMetadata"),
                              isc_arg_end};
        status->setErrors(v);
        return false;
    }

    std::vector<Item> items_;
    unsigned length_ = 0;
    std::atomic<int> refs_{1};
};

class Builder final : public fb::IMetadataBuilderImpl<Builder, Wrapper> {
public:
    explicit Builder(std::vector<Item> items) : items_(std::move(items)) {}
    void addRef() override { ++refs_; }
    int release() override {
        const int left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    void setType(Wrapper* s, unsigned i, unsigned type) override {
        if (!at(s, i)) return;
        items_[i].p.type = type;
        if (items_[i].p.length == 0) items_[i].p.length = default_length(type);
        if (items_[i].p.length != 0) items_[i].finished = true;
    }
    void setSubType(Wrapper* s, unsigned i, int sub_type) override {
        if (at(s, i)) items_[i].sub_type = sub_type;
    }
    void setLength(Wrapper* s, unsigned i, unsigned length) override {
        if (!at(s, i)) return;
        items_[i].p.length = length;
        if (items_[i].p.type != 0) items_[i].finished = true;
    }
    void setCharSet(Wrapper* s, unsigned i, unsigned charset) override {
        if (at(s, i)) items_[i].p.charset = charset;
    }
    void setScale(Wrapper* s, unsigned i, int scale) override {
        if (at(s, i)) items_[i].p.scale = scale;
    }
    void truncate(Wrapper* s, unsigned count) override {
        if (count != 0 && !at(s, count - 1)) return;
        items_.resize(count);
    }
    void moveNameToIndex(Wrapper* s, const char* name, unsigned index) override {
        if (!at(s, index)) return;
        for (unsigned i = 0; i < items_.size(); ++i) {
            if (items_[i].p.name != name) continue;
            Item moved = items_[i];
            items_.erase(items_.begin() + i);
            items_.insert(items_.begin() + index, moved);
            return;
        }
        const intptr_t v[] = {isc_arg_gds, isc_random, isc_arg_string, reinterpret_cast<intptr_t>(name), isc_arg_end};
        s->setErrors(v);
    }
    void remove(Wrapper* s, unsigned i) override {
        if (at(s, i)) items_.erase(items_.begin() + i);
    }
    unsigned addField(Wrapper*) override {
        items_.emplace_back();
        return static_cast<unsigned>(items_.size() - 1);
    }
    fb::IMessageMetadata* getMetadata(Wrapper* s) override {
        for (unsigned i = 0; i < items_.size(); ++i) {
            if (items_[i].finished) continue;
            const intptr_t v[] = {isc_arg_gds, isc_item_finish, isc_arg_number, static_cast<intptr_t>(i), isc_arg_end};
            s->setErrors(v);
            return nullptr;
        }
        return new Metadata(items_);
    }

private:
    bool at(Wrapper* status, unsigned i) {
        if (i < items_.size()) return true;
        const intptr_t v[] = {isc_arg_gds,    isc_invalid_index_val,
                              isc_arg_number, static_cast<intptr_t>(i),
                              isc_arg_string, reinterpret_cast<intptr_t>("IMetadataBuilder"),
                              isc_arg_end};
        status->setErrors(v);
        return false;
    }

    std::vector<Item> items_;
    std::atomic<int> refs_{1};
};

fb::IMetadataBuilder* Metadata::getBuilder(Wrapper*) { return new Builder(items_); }

// The declared message, as the engine describes parameters: nullable, finished.
Metadata* declared(const std::vector<Param>& params) {
    std::vector<Item> items;
    for (const Param& p : params) {
        Item item;
        item.p = p;
        item.p.type |= 1;
        item.finished = true;
        items.push_back(item);
    }
    return new Metadata(std::move(items));
}

// ---- master, plugin, routine metadata, context ---------------------------------------------

class Master final : public fb::IMasterImpl<Master, Wrapper> {
public:
    fb::IStatus* getStatus() override { return new Status(); }
    fb::IProvider* getDispatcher() override { return nullptr; }
    fb::IPluginManager* getPluginManager() override { return nullptr; }
    fb::ITimerControl* getTimerControl() override { return nullptr; }
    fb::IDtc* getDtc() override { return nullptr; }
    fb::IAttachment* registerAttachment(fb::IProvider*, fb::IAttachment* a) override { return a; }
    fb::ITransaction* registerTransaction(fb::IAttachment*, fb::ITransaction* t) override { return t; }
    fb::IMetadataBuilder* getMetadataBuilder(Wrapper*, unsigned count) override {
        return new Builder(std::vector<Item>(count));
    }
    int serverMode(int) override { return 0; }
    fb::IUtil* getUtilInterface() override { return nullptr; }
    fb::IConfigManager* getConfigManager() override { return nullptr; }
    FB_BOOLEAN getProcessExiting() override { return FB_FALSE; }
};

Master master;

class Plugin final : public fb::IUdrPluginImpl<Plugin, Wrapper> {
public:
    fb::IMaster* getMaster() override { return &master; }
    void registerFunction(Wrapper* s, const char* name, fb::IUdrFunctionFactory* f) override {
        if (!functions.emplace(name, f).second) duplicate(s, name);
    }
    void registerProcedure(Wrapper* s, const char* name, fb::IUdrProcedureFactory* f) override {
        if (!procedures.emplace(name, f).second) duplicate(s, name);
    }
    void registerTrigger(Wrapper* s, const char* name, fb::IUdrTriggerFactory*) override {
        if (!triggers.emplace(name).second) duplicate(s, name);
    }

    std::map<std::string, fb::IUdrFunctionFactory*> functions;
    std::map<std::string, fb::IUdrProcedureFactory*> procedures;
    std::set<std::string> triggers;

private:
    static void duplicate(Wrapper* s, const char* name) {
        const intptr_t v[] = {isc_arg_gds, isc_random, isc_arg_string, reinterpret_cast<intptr_t>(name), isc_arg_end};
        s->setErrors(v);
    }
};

class RoutineMetadata final : public fb::IRoutineMetadataImpl<RoutineMetadata, Wrapper> {
public:
    explicit RoutineMetadata(const host::Declaration& d) : d_(d), in_(declared(d.in)), out_(declared(d.out)) {}
    ~RoutineMetadata() {
        in_->release();
        out_->release();
    }
    const char* getPackage(Wrapper*) const override { return nullptr; }
    const char* getName(Wrapper*) const override { return d_.name.c_str(); }
    // The whole external name, info part and all, as Firebird 3 hands it over.
    const char* getEntryPoint(Wrapper*) const override { return d_.entry_point.c_str(); }
    const char* getBody(Wrapper*) const override { return ""; }
    fb::IMessageMetadata* getInputMetadata(Wrapper*) const override { return held(in_); }
    fb::IMessageMetadata* getOutputMetadata(Wrapper*) const override { return held(out_); }
    fb::IMessageMetadata* getTriggerMetadata(Wrapper*) const override { return nullptr; }
    const char* getTriggerTable(Wrapper*) const override { return nullptr; }
    unsigned getTriggerType(Wrapper*) const override { return 0; }

    // After the factory's setup the messages are the ones it shaped.
    void shaped(Metadata* in, Metadata* out) {
        in_->release();
        out_->release();
        in_ = in;
        out_ = out;
    }
    Metadata* in() const { return in_; }
    Metadata* out() const { return out_; }

private:
    static Metadata* held(Metadata* m) {
        m->addRef();
        return m;
    }
    const host::Declaration& d_;
    Metadata* in_;
    Metadata* out_;
};

class Context final : public fb::IExternalContextImpl<Context, Wrapper> {
public:
    fb::IMaster* getMaster() override { return &master; }
    fb::IExternalEngine* getEngine(Wrapper*) override { return nullptr; }
    fb::IAttachment* getAttachment(Wrapper*) override { return nullptr; }
    fb::ITransaction* getTransaction(Wrapper*) override { return nullptr; }
    const char* getUserName() override { return "SYSDBA"; }
    const char* getDatabaseName() override { return "host.fdb"; }
    const char* getClientCharSet() override { return "UTF8"; }
    int obtainInfoCode() override { return next_code_++; }
    void* getInfo(int code) override {
        auto it = info_.find(code);
        return it == info_.end() ? nullptr : it->second;
    }
    void* setInfo(int code, void* value) override {
        void*& slot = info_[code];
        void* old = slot;
        slot = value;
        return old;
    }

private:
    int next_code_ = 0;
    std::map<int, void*> info_;
};

// ---- values in messages ----------------------------------------------------------------------

[[noreturn]] void fail(std::vector<std::string> lines) {
    Outcome o;
    o.error = std::move(lines);
    throw o;
}

std::string to_charset(const std::string& utf8, unsigned charset);
std::string from_charset(const std::string& bytes, unsigned charset);

// A NUMERIC or DOUBLE PRECISION into an integer: rounded half away from zero.
std::int64_t round_half_away(double v) { return static_cast<std::int64_t>(v < 0 ? v - 0.5 : v + 0.5); }
std::int64_t round_half_away(const std::string& digits) {
    return round_half_away(std::strtod(digits.c_str(), nullptr));
}

// The engine's conversion of an argument into the field the module asked for.
void put(unsigned char* message, const FieldLayout& f, const Value& v) {
    const ISC_SHORT null = v.kind == Value::null ? -1 : 0;
    std::memcpy(message + f.null_offset, &null, sizeof null);
    if (v.kind == Value::null) return;
    unsigned char* p = message + f.offset;
    switch (f.type & ~1U) {
    case SQL_LONG:
    case SQL_SHORT:
    case SQL_INT64: {
        std::int64_t n = 0;
        if (v.kind == Value::integer)
            n = v.i;
        else if (v.kind == Value::real)
            n = v.exact ? round_half_away(v.s) : round_half_away(v.d);
        else {
            char* end = nullptr;
            n = std::strtoll(v.s.c_str(), &end, 10);
            if (end == v.s.c_str() || *end != '\0') fail({"conversion error from string \"" + v.s + "\""});
        }
        const unsigned size = default_length(f.type);
        if ((size == 4 && (n < INT32_MIN || n > INT32_MAX)) || (size == 2 && (n < INT16_MIN || n > INT16_MAX)))
            fail({"arithmetic exception, numeric overflow, or string truncation", "numeric value is out of range"});
        if (size == 2) {
            const auto x = static_cast<ISC_SHORT>(n);
            std::memcpy(p, &x, 2);
        } else if (size == 4) {
            const auto x = static_cast<ISC_LONG>(n);
            std::memcpy(p, &x, 4);
        } else
            std::memcpy(p, &n, 8);
        break;
    }
    case SQL_DOUBLE: {
        double d = 0;
        if (v.kind == Value::integer)
            d = static_cast<double>(v.i);
        else if (v.kind == Value::real)
            d = v.d;
        else {
            char* end = nullptr;
            d = std::strtod(v.s.c_str(), &end);
            if (end == v.s.c_str() || *end != '\0') fail({"conversion error from string \"" + v.s + "\""});
        }
        std::memcpy(p, &d, sizeof d);
        break;
    }
    case SQL_VARYING: {
        const std::string bytes = to_charset(v.s, f.charset);
        if (bytes.size() > f.length)
            fail({"arithmetic exception, numeric overflow, or string truncation", "string right truncation",
                  "expected length " + std::to_string(f.length) + ", actual " + std::to_string(bytes.size())});
        const auto n = static_cast<ISC_USHORT>(bytes.size());
        std::memcpy(p, &n, sizeof n);
        std::memcpy(p + sizeof n, bytes.data(), bytes.size());
        break;
    }
    default:
        fail({"the host cannot pass SQL type " + std::to_string(f.type)});
    }
}

Value get(const unsigned char* message, const FieldLayout& f) {
    Value v;
    ISC_SHORT null;
    std::memcpy(&null, message + f.null_offset, sizeof null);
    if (null != 0) return v;
    const unsigned char* p = message + f.offset;
    switch (f.type & ~1U) {
    case SQL_SHORT: {
        ISC_SHORT x;
        std::memcpy(&x, p, 2);
        v.kind = Value::integer;
        v.i = x;
        break;
    }
    case SQL_LONG: {
        ISC_LONG x;
        std::memcpy(&x, p, 4);
        v.kind = Value::integer;
        v.i = x;
        break;
    }
    case SQL_INT64: {
        ISC_INT64 x;
        std::memcpy(&x, p, 8);
        v.kind = Value::integer;
        v.i = x;
        break;
    }
    case SQL_DOUBLE:
        v.kind = Value::real;
        v.exact = false;
        std::memcpy(&v.d, p, 8);
        break;
    case SQL_VARYING: {
        ISC_USHORT n;
        std::memcpy(&n, p, sizeof n);
        if (n > f.length)
            fail({"the module wrote a text of " + std::to_string(n) + " bytes into a field of " +
                  std::to_string(f.length)});
        v.kind = Value::text;
        v.s = from_charset(std::string(reinterpret_cast<const char*>(p + sizeof n), n), f.charset);
        break;
    }
    default:
        fail({"the host cannot read SQL type " + std::to_string(f.type)});
    }
    return v;
}

std::vector<FieldLayout> layout_of(Wrapper* s, fb::IMessageMetadata* m) {
    std::vector<FieldLayout> fields;
    const unsigned n = m->getCount(s);
    for (unsigned i = 0; i < n; ++i)
        fields.push_back(
            {m->getType(s, i), m->getLength(s, i), m->getCharSet(s, i), m->getOffset(s, i), m->getNullOffset(s, i)});
    return fields;
}

void check(Status& status) {
    if (status.getState() & fb::IStatus::STATE_ERRORS) fail(interpret(status.getErrors()));
}

} // namespace

std::vector<FieldLayout> lay_out(const std::vector<Param>& fields, unsigned* message_length) {
    std::vector<FieldLayout> out;
    unsigned at = 0;
    for (const Param& p : fields) {
        FieldLayout f{p.type, p.length, p.charset, 0, 0};
        at = place(at, p.type, p.length, &f.offset, &f.null_offset);
        out.push_back(f);
    }
    if (message_length != nullptr) *message_length = at;
    return out;
}

// ---- the module --------------------------------------------------------------------------

class Module {
public:
    explicit Module(const std::string& path) {
#ifdef _WIN32
        handle_ = LoadLibraryA(path.c_str());
        if (handle_ == nullptr)
            throw std::runtime_error("cannot load " + path + ": error " + std::to_string(GetLastError()));
        auto* entry = reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), "firebird_udr_plugin"));
#else
        // Kept in memory after dlclose, as the engine keeps a UDR module until it stops: what the
        // module's registrations allocated stays reachable, not a leak.
        handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (handle_ == nullptr) throw std::runtime_error(std::string("cannot load ") + dlerror());
        void* entry = dlsym(handle_, "firebird_udr_plugin");
#endif
        if (entry == nullptr) throw std::runtime_error(path + " exports no firebird_udr_plugin");
        using Entry = FB_BOOLEAN* (*)(fb::IStatus*, FB_BOOLEAN*, fb::IUdrPlugin*);
        Status status;
        reinterpret_cast<Entry>(entry)(&status, &unloaded, &plugin);
        if (status.getState() & fb::IStatus::STATE_ERRORS) {
            std::string text;
            for (const auto& line : interpret(status.getErrors())) text += line + "\n";
            throw std::runtime_error("the module refused to register: " + text);
        }
    }
    ~Module() {
#ifdef _WIN32
        FreeLibrary(static_cast<HMODULE>(handle_));
#else
        dlclose(handle_);
#endif
    }

    Plugin plugin;

private:
    void* handle_ = nullptr;
    // Where the module says it was unloaded: written by its static destructors, which run at
    // the process's exit when dlclose left the module mapped, after this object is gone.
    static inline FB_BOOLEAN unloaded = FB_FALSE;
};

// A routine as the engine keeps it: set up once, with an instance per attachment.
struct Routine {
    const Declaration* d = nullptr;
    std::unique_ptr<RoutineMetadata> metadata;
    fb::IUdrFunctionFactory* function = nullptr;
    fb::IUdrProcedureFactory* procedure = nullptr;
    std::vector<FieldLayout> in, out;
    unsigned in_length = 0, out_length = 0;
};

class Attachment {
public:
    ~Attachment() {
        for (auto& [name, f] : functions) f->dispose();
        for (auto& [name, p] : procedures) p->dispose();
    }
    Context context;
    std::map<std::string, fb::IExternalFunction*> functions;
    std::map<std::string, fb::IExternalProcedure*> procedures;
};

// Without a path: the declarations only (an isql script of the calls is made from them).
Engine::Engine(const std::string& module_path)
    : module_(module_path.empty() ? nullptr : std::make_unique<Module>(module_path)) {}

Engine::~Engine() = default;

void Engine::declare(const Declaration& d) { declarations_[d.name] = d; }

const Declaration* Engine::find(const std::string& name) const {
    auto it = declarations_.find(name);
    return it == declarations_.end() ? nullptr : &it->second;
}

std::vector<std::string> Engine::registered() const {
    std::vector<std::string> names;
    if (!module_) return names;
    for (const auto& [name, f] : module_->plugin.functions) names.push_back(name);
    for (const auto& [name, p] : module_->plugin.procedures) names.push_back(name);
    return names;
}

void Engine::end(int attachment) { attachments_.erase(attachment); }

Outcome Engine::call(int attachment_no, const std::string& name, const std::vector<Value>& args) {
    try {
        const Declaration* d = find(name);
        if (d == nullptr || !module_) fail({"Function unknown", name});
        auto& slot = attachments_[attachment_no];
        if (!slot) slot = std::make_unique<Attachment>();
        Attachment& a = *slot;
        Status status;
        Wrapper s(&status);

        // Set up on first use, as the engine does when the routine is first loaded.
        auto& r = routines_[d->name];
        if (!r) {
            auto made = std::make_unique<Routine>();
            made->d = d;
            const std::string& ep = d->entry_point;
            const auto bang = ep.find('!');
            const std::string routine = ep.substr(bang + 1, ep.find('!', bang + 1) - bang - 1);
            if (d->procedure) {
                auto it = module_->plugin.procedures.find(routine);
                if (it == module_->plugin.procedures.end()) fail({"UDR procedure " + routine + " not found"});
                made->procedure = it->second;
            } else {
                auto it = module_->plugin.functions.find(routine);
                if (it == module_->plugin.functions.end()) fail({"UDR function " + routine + " not found"});
                made->function = it->second;
            }
            made->metadata = std::make_unique<RoutineMetadata>(*d);
            fb::IMetadataBuilder* in = made->metadata->in()->getBuilder(&s);
            fb::IMetadataBuilder* out = made->metadata->out()->getBuilder(&s);
            if (made->function)
                made->function->setup(&s, &a.context, made->metadata.get(), in, out);
            else
                made->procedure->setup(&s, &a.context, made->metadata.get(), in, out);
            if (!(status.getState() & fb::IStatus::STATE_ERRORS)) {
                auto* shaped_in = static_cast<Metadata*>(in->getMetadata(&s));
                auto* shaped_out = shaped_in ? static_cast<Metadata*>(out->getMetadata(&s)) : nullptr;
                if (shaped_out)
                    made->metadata->shaped(shaped_in, shaped_out);
                else if (shaped_in)
                    shaped_in->release();
            }
            in->release();
            out->release();
            check(status);
            made->in = layout_of(&s, made->metadata->in());
            made->out = layout_of(&s, made->metadata->out());
            made->in_length = made->metadata->in()->getMessageLength(&s);
            made->out_length = made->metadata->out()->getMessageLength(&s);
            r = std::move(made);
        }
        if (args.size() != r->in.size())
            fail({"Input parameter mismatch for " + name + ": " + std::to_string(args.size()) + " given"});

        std::vector<unsigned char> in(r->in_length, 0), out(r->out_length, 0);
        for (std::size_t i = 0; i < args.size(); ++i) put(in.data(), r->in[i], args[i]);

        Outcome o;
        for (const auto& f : r->out) o.types.push_back(f.type & ~1U);
        if (r->function) {
            auto& instance = a.functions[d->name];
            if (instance == nullptr) instance = r->function->newItem(&s, &a.context, r->metadata.get());
            check(status);
            instance->execute(&s, &a.context, in.data(), out.data());
            check(status);
            std::vector<Value> row;
            for (const auto& f : r->out) row.push_back(get(out.data(), f));
            o.rows.push_back(row);
        } else {
            auto& instance = a.procedures[d->name];
            if (instance == nullptr) instance = r->procedure->newItem(&s, &a.context, r->metadata.get());
            check(status);
            fb::IExternalResultSet* rs = instance->open(&s, &a.context, in.data(), out.data());
            check(status);
            if (rs != nullptr) {
                for (;;) {
                    const bool more = rs->fetch(&s);
                    if (status.getState() & fb::IStatus::STATE_ERRORS) {
                        rs->dispose();
                        check(status);
                    }
                    if (!more) break;
                    std::vector<Value> row;
                    for (const auto& f : r->out) row.push_back(get(out.data(), f));
                    o.rows.push_back(row);
                }
                rs->dispose();
            }
        }
        return o;
    } catch (Outcome& o) {
        return o;
    }
}

// ---- the engine's wording ------------------------------------------------------------------

std::vector<std::string> interpret(const intptr_t* v) {
    static const std::map<intptr_t, std::string> texts = {
        {isc_arith_except, "arithmetic exception, numeric overflow, or string truncation"},
        {isc_string_truncation, "string right truncation"},
        {isc_trunc_limits, "expected length @1, actual @2"},
        {isc_virmemexh, "unable to allocate memory from operating system"},
        {isc_random, "@1"},
        {isc_numeric_out_of_range, "numeric value is out of range"},
        {isc_item_finish, "Definition of item @1 is not finished"},
    };
    std::vector<std::string> lines;
    std::size_t i = 0;
    while (v[i] != isc_arg_end) {
        if (v[i] == isc_arg_interpreted) {
            lines.emplace_back(reinterpret_cast<const char*>(v[i + 1]));
            i += 2;
            continue;
        }
        if (v[i] != isc_arg_gds) {
            i += 2;
            continue;
        }
        const intptr_t code = v[i + 1];
        i += 2;
        std::vector<std::string> params;
        while (v[i] != isc_arg_end && v[i] != isc_arg_gds && v[i] != isc_arg_interpreted) {
            if (v[i] == isc_arg_number)
                params.push_back(std::to_string(static_cast<ISC_LONG>(v[i + 1])));
            else if (v[i] == isc_arg_string)
                params.emplace_back(reinterpret_cast<const char*>(v[i + 1]));
            i += 2;
        }
        auto it = texts.find(code);
        std::string text = it == texts.end() ? "status code " + std::to_string(code) : it->second;
        for (std::size_t p = 0; p < params.size(); ++p) {
            const std::string mark = "@" + std::to_string(p + 1);
            const auto at = text.find(mark);
            if (at != std::string::npos) text.replace(at, mark.size(), params[p]);
        }
        lines.push_back(text);
    }
    return lines;
}

// ---- character sets ----------------------------------------------------------------------------
// The client speaks UTF8; a field of another character set gets its bytes converted, by the
// platform's own tables.
namespace {

constexpr unsigned win1250 = 51;

#ifdef _WIN32
std::string convert(const std::string& text, UINT from, UINT to) {
    if (text.empty()) return text;
    const int wide = MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), w.data(), wide);
    const int n = WideCharToMultiByte(to, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(to, 0, w.data(), wide, out.data(), n, nullptr, nullptr);
    return out;
}
std::string to_charset(const std::string& utf8, unsigned charset) {
    return charset == win1250 ? convert(utf8, CP_UTF8, 1250) : utf8;
}
std::string from_charset(const std::string& bytes, unsigned charset) {
    return charset == win1250 ? convert(bytes, 1250, CP_UTF8) : bytes;
}
#else
std::string convert(const std::string& text, const char* from, const char* to) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert");
    std::string out(text.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(text.data());
    std::size_t in_left = text.size();
    char* o = out.data();
    std::size_t o_left = out.size();
    const std::size_t rc = iconv(cd, &in, &in_left, &o, &o_left);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1)) fail({"Cannot transliterate character between character sets"});
    out.resize(out.size() - o_left);
    return out;
}
std::string to_charset(const std::string& utf8, unsigned charset) {
    return charset == win1250 ? convert(utf8, "UTF-8", "CP1250") : utf8;
}
std::string from_charset(const std::string& bytes, unsigned charset) {
    return charset == win1250 ? convert(bytes, "CP1250", "UTF-8") : bytes;
}
#endif

} // namespace
} // namespace host
