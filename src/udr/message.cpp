// Messages laid out by the declaration (udr/routine.h): the types a routine reads, the
// widths the database declared.
#include "udr/routine.h"

#include <string>

namespace ardudf::udr {
namespace {

namespace fb = ::Firebird;

// The reference the engine hands out, released on every way out.
template <class T> class Held {
public:
    explicit Held(T* p) noexcept : p_(p) {}
    ~Held() {
        if (p_ != nullptr) p_->release();
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    T* operator->() const noexcept { return p_; }
    T* get() const noexcept { return p_; }

private:
    T* p_;
};

// A declaration the module cannot serve, said in the error the statement fails with.
[[noreturn]] void raise_declaration(Status* status, std::string_view name, const std::string& what) {
    const std::string text = "ardudf_udr: " + std::string(name) + " is declared with " + what;
    const ISC_STATUS vector[] = {isc_arg_gds, isc_random, isc_arg_string, reinterpret_cast<ISC_STATUS>(text.c_str()),
                                 isc_arg_end};
    throw fb::FbException(status, vector);
}

[[noreturn]] void raise_field_count(Status* status, const catalogue::Export& e, bool result, unsigned declared,
                                    unsigned wanted) {
    raise_declaration(status, e.name,
                      std::to_string(declared) +
                          (result ? " result field(s); it returns " : " argument(s); it takes ") +
                          std::to_string(wanted));
}

// The width of a text field: what the declaration holds in bytes when it declares a text,
// else the module's own width for it (the engine converts a number, say, into that text).
unsigned text_length(Status* status, fb::IMessageMetadata* declared, unsigned i, int catalogue_width) {
    const unsigned type = declared->getType(status, i) & ~1U;
    unsigned length = static_cast<unsigned>(catalogue_width);
    if (type == SQL_VARYING || type == SQL_TEXT) length = declared->getLength(status, i);
    if (length < 1) length = 1;
    if (length > static_cast<unsigned>(catalogue::max_varchar)) length = catalogue::max_varchar;
    return length;
}

} // namespace

NullReading null_reading(Status* status, fb::IRoutineMetadata* metadata, std::string_view name) {
    // The engine hands over the external name whole: module!routine[!option].
    const std::string_view entry = metadata->getEntryPoint(status);
    const std::size_t routine = entry.find('!');
    const std::size_t option = routine == std::string_view::npos ? routine : entry.find('!', routine + 1);
    if (option == std::string_view::npos) return NullReading::sql;
    const std::string_view given = entry.substr(option + 1);
    if (given == catalogue::legacy_nulls_option) return NullReading::legacy;
    raise_declaration(status, name,
                      "the option '" + std::string(given) + "' in its external name; the one option is '" +
                          std::string(catalogue::legacy_nulls_option) + "'");
}

void shape_message(Status* status, fb::IMetadataBuilder* builder, const catalogue::Export& e, bool result) {
    const Held<fb::IMessageMetadata> declared(builder->getMetadata(status));
    const unsigned count = declared->getCount(status);
    const unsigned wanted = result ? 1U : static_cast<unsigned>(catalogue::arg_count(e));
    if (count != wanted) raise_field_count(status, e, result, count, wanted);
    for (unsigned i = 0; i < count; ++i) {
        switch (result ? e.result.kind : e.args[i].kind) {
        case catalogue::Kind::int32:
            builder->setType(status, i, SQL_LONG);
            builder->setLength(status, i, sizeof(ISC_LONG));
            builder->setScale(status, i, 0);
            break;
        case catalogue::Kind::float64:
            builder->setType(status, i, SQL_DOUBLE);
            builder->setLength(status, i, sizeof(double));
            builder->setScale(status, i, 0);
            break;
        case catalogue::Kind::text: {
            const unsigned length =
                text_length(status, declared.get(), i, result ? e.result.width.udr : e.args[i].width.udr);
            builder->setType(status, i, SQL_VARYING);
            builder->setLength(status, i, length);
            builder->setCharSet(status, i, charset_id(e.charset));
            break;
        }
        case catalogue::Kind::none:
            break;
        }
    }
}

void read_layout(Status* status, fb::IRoutineMetadata* metadata, const catalogue::Export& e, bool result, Field* fields,
                 unsigned count) {
    const Held<fb::IMessageMetadata> declared(result ? metadata->getOutputMetadata(status)
                                                     : metadata->getInputMetadata(status));
    const Held<fb::IMetadataBuilder> builder(declared->getBuilder(status));
    shape_message(status, builder.get(), e, result);
    const Held<fb::IMessageMetadata> shaped(builder->getMetadata(status));
    for (unsigned i = 0; i < count; ++i) {
        fields[i].offset = shaped->getOffset(status, i);
        fields[i].null_offset = shaped->getNullOffset(status, i);
        fields[i].length = shaped->getLength(status, i);
    }
}

} // namespace ardudf::udr
