// The one routine template of the UDR module: each function's messages laid out by its
// declaration, read and written field by field, and its body run over them.
//
// NULL rule of the module: a NULL argument gives a NULL result and the body does not run,
// unless the function's catalogue entry says that it reads NULL itself (udr_nulls), or its
// declaration asks for the legacy module's reading (see NullReading). An error
// (no memory, a text longer than its result field) is raised as an SQL error; nothing is
// truncated silently.
#pragma once

#define FB_UDR_STATUS_TYPE ::Firebird::ThrowStatusWrapper
#include <firebird/UdrCppEngine.h>

#include "catalogue/catalogue.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace ardudf::udr {

using Status = ::Firebird::ThrowStatusWrapper;

// The engine's character-set numbers of the catalogue's character sets. The messages name
// them, so that the bytes a routine sees do not depend on how a database declared it.
constexpr unsigned charset_id(std::string_view name) {
    if (name == "WIN1250") return 51;
    if (name != "NONE") throw "a character set without an engine number";
    return 0;
}

static_assert([] {
    for (const auto& e : catalogue::exports) (void)charset_id(e.charset);
    return true;
}());

// string right truncation: a result of length bytes for a field of limit bytes.
[[noreturn]] void raise_truncation(Status* status, std::size_t limit, std::size_t length);
// out of memory
[[noreturn]] void raise_no_memory(Status* status);

// The fields of a procedure's own message (the walk).
template <unsigned N>
void set_text(Status* status, ::Firebird::FbVarChar<N>& field, ISC_SHORT& null, std::string_view text) {
    if (text.size() > N) raise_truncation(status, N, text.size());
    field.length = static_cast<ISC_USHORT>(text.size());
    if (!text.empty()) std::memcpy(field.str, text.data(), text.size());
    null = FB_FALSE;
}

// ISC_LONG is long on Windows and int elsewhere: the value is converted to the field's type.
template <class T, class V> void set_value(T& field, ISC_SHORT& null, V value) noexcept {
    field = static_cast<T>(value);
    null = FB_FALSE;
}

// ---- messages laid out by the declaration ----
//
// Every function takes the layout of its messages from its declaration. Each field
// gets the type the routine reads (INTEGER, DOUBLE PRECISION, or VARCHAR in the function's
// character set; the engine converts whatever the declaration says into it), and a text
// keeps the width it is declared with, in bytes: the declaration chooses how long a text
// may be, and with it what a call costs, as the engine moves and clears every declared
// byte on each call.

// Where one field lies in a message.
struct Field {
    unsigned offset = 0;
    unsigned null_offset = 0;
    unsigned length = 0; // bytes a text may hold
};

// How a declaration wants NULL arguments read, from the third part of its external name.
// 'ardudf_udr!ib_lpad' reads them as SQL does: a NULL argument gives NULL. A database moved
// from the legacy module in place declares 'ardudf_udr!ib_lpad!legacy_nulls'
// (catalogue::legacy_nulls_option), and there a
// NULL argument is read as the legacy module reads it, the empty text or 0, and the body
// always runs: every stored procedure, view and index that called the legacy module gets
// the results it got before.
enum class NullReading : std::uint8_t { sql, legacy };
// Raises an SQL error for any other third part, so that a typing error is not taken for
// the SQL reading.
NullReading null_reading(Status* status, ::Firebird::IRoutineMetadata* metadata, std::string_view name);

// Gives each field of a declared message (arguments, or the result) of export e the type
// the routine reads. Raises an SQL error when the declaration has another number of fields.
void shape_message(Status* status, ::Firebird::IMetadataBuilder* builder, const catalogue::Export& e, bool result);
// The layout the engine makes of the declared message (arguments, or the result) of a
// routine, shaped as above.
void read_layout(Status* status, ::Firebird::IRoutineMetadata* metadata, const catalogue::Export& e, bool result,
                 Field* fields, unsigned count);

template <std::size_t Index, bool Result> struct Message {
    using Type = unsigned char;
    static constexpr bool result = Result;
    static constexpr const catalogue::Export& entry = catalogue::exports[Index];
    static constexpr unsigned count = Result ? 1U : static_cast<unsigned>(catalogue::arg_count(entry));
    static void setup(Status* status, ::Firebird::IMetadataBuilder* builder) {
        shape_message(status, builder, entry, Result);
    }
};

// The fields of one message, read once per routine instance.
template <class M> struct Layout {
    std::array<Field, M::count> fields{};

    // For the engine's helper constructor, which the module never calls.
    Layout() noexcept = default;
    Layout(Status* status, ::Firebird::IRoutineMetadata* metadata) {
        read_layout(status, metadata, M::entry, M::result, fields.data(), M::count);
    }
};

// An argument of catalogue entry E by its name, as the catalogue and the UDR script name it,
// resolved when the module is compiled: a name the entry does not have, or an argument of
// another kind than K, does not compile.
template <std::size_t E, catalogue::Kind K> class Arg {
public:
    consteval Arg(const char* name) : index_(find(name)) {}
    unsigned index() const noexcept { return index_; }

private:
    static consteval unsigned find(std::string_view name) {
        const catalogue::Export& e = catalogue::exports[E];
        for (int i = 0; i < catalogue::arg_count(e); ++i)
            if (e.args[i].name == name) {
                if (e.args[i].kind != K) throw "the catalogue gives this argument another kind";
                return static_cast<unsigned>(i);
            }
        throw "the catalogue entry has no argument of this name";
    }
    unsigned index_;
};

// The arguments of one call of catalogue entry E, read by name: call.args.int32("len"). A
// NULL argument reads as the empty text or 0, as the legacy module reads it.
template <std::size_t E> class Args {
public:
    static constexpr unsigned count = static_cast<unsigned>(catalogue::arg_count(catalogue::exports[E]));

    Args(const unsigned char* message, const std::array<Field, count>& fields) noexcept : m_(message), f_(fields) {}

    bool any_null() const noexcept {
        for (unsigned i = 0; i < count; ++i)
            if (null(i)) return true;
        return false;
    }
    // A text as the legacy module sees it: up to the first NUL byte, if any (a CSTRING
    // stops there), so that both modules give the same results.
    std::string_view text(Arg<E, catalogue::Kind::text> arg) const noexcept {
        const unsigned i = arg.index();
        if (null(i)) return {};
        ISC_USHORT length;
        std::memcpy(&length, m_ + f_[i].offset, sizeof length);
        const char* str = reinterpret_cast<const char*>(m_ + f_[i].offset + sizeof length);
        const std::size_t n = length <= f_[i].length ? length : f_[i].length;
        const void* nul = std::memchr(str, '\0', n);
        return {str, nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - str) : n};
    }
    std::int32_t int32(Arg<E, catalogue::Kind::int32> arg) const noexcept {
        ISC_LONG value = 0;
        if (!null(arg.index())) std::memcpy(&value, m_ + f_[arg.index()].offset, sizeof value);
        return static_cast<std::int32_t>(value);
    }
    double float64(Arg<E, catalogue::Kind::float64> arg) const noexcept {
        double value = 0.0;
        if (!null(arg.index())) std::memcpy(&value, m_ + f_[arg.index()].offset, sizeof value);
        return value;
    }

private:
    bool null(unsigned i) const noexcept {
        ISC_SHORT flag;
        std::memcpy(&flag, m_ + f_[i].null_offset, sizeof flag);
        return flag != 0;
    }

    const unsigned char* m_;
    const std::array<Field, count>& f_;
};

// The result of one call.
class Result {
public:
    Result(unsigned char* message, const Field& field, Status* status) noexcept
        : m_(message), f_(field), status_(status) {}

    void null() const noexcept { set_flag(FB_TRUE); }
    // Bytes the declared text result holds.
    std::size_t capacity() const noexcept { return f_.length; }
    void int32(std::int32_t value) const noexcept {
        const ISC_LONG v = value;
        std::memcpy(m_ + f_.offset, &v, sizeof v);
        set_flag(FB_FALSE);
    }
    void float64(double value) const noexcept {
        std::memcpy(m_ + f_.offset, &value, sizeof value);
        set_flag(FB_FALSE);
    }
    void text(std::string_view t) const {
        char* str = reserve(t.size());
        if (!t.empty()) std::memcpy(str, t.data(), t.size());
    }
    // The text field, holding length bytes for the caller to write; raises string
    // truncation when the declaration is narrower.
    char* reserve(std::size_t length) const {
        if (length > f_.length) raise_truncation(status_, f_.length, length);
        set_length(length);
        set_flag(FB_FALSE);
        return reinterpret_cast<char*>(m_ + f_.offset + sizeof(ISC_USHORT));
    }
    // Shortens a reserved text.
    void set_length(std::size_t length) const noexcept {
        const auto n = static_cast<ISC_USHORT>(length);
        std::memcpy(m_ + f_.offset, &n, sizeof n);
    }
    [[noreturn]] void raise_no_memory() const { udr::raise_no_memory(status_); }

private:
    void set_flag(ISC_SHORT flag) const noexcept { std::memcpy(m_ + f_.null_offset, &flag, sizeof flag); }

    unsigned char* m_;
    const Field& f_;
    Status* status_;
};

// What a routine instance keeps between calls when it keeps nothing.
struct Stateless {
    explicit Stateless(::Firebird::IExternalContext*) noexcept {}
};

// One call of catalogue entry Index: its arguments, its result, and what the instance
// keeps (State, made once per instance from the attachment's context).
template <std::size_t Index, class State> struct Call {
    Args<Index> args;
    Result result;
    State& state;
};

// Every function of the module: Body runs over one call, unless an argument is NULL, the
// catalogue entry does not read NULL itself and the declaration reads NULL as SQL does.
template <std::size_t Index, class State, void (*Body)(const Call<Index, State>&)>
class Routine final : public ::Firebird::Udr::Function<Routine<Index, State, Body>, Status> {
public:
    using InMessage = Message<Index, false>;
    using OutMessage = Message<Index, true>;

    Routine(Status* status, ::Firebird::IExternalContext* context, ::Firebird::IRoutineMetadata* metadata)
        : arguments_(status, metadata), result_(status, metadata),
          nulls_(null_reading(status, metadata, catalogue::exports[Index].name)), state_(context) {}

    void execute(Status* status, ::Firebird::IExternalContext*, void* in, void* out) {
        const Call<Index, State> call{{static_cast<const unsigned char*>(in), arguments_.fields},
                                      {static_cast<unsigned char*>(out), result_.fields[0], status},
                                      state_};
        if constexpr (catalogue::exports[Index].udr_nulls.empty()) {
            if (nulls_ == NullReading::sql && call.args.any_null()) return call.result.null();
        }
        Body(call);
    }

private:
    Layout<InMessage> arguments_;
    Layout<OutMessage> result_;
    NullReading nulls_;
    State state_;
};

} // namespace ardudf::udr

// Defines the function `name` of the catalogue: registers it with the engine and opens its
// body, which sees `call` (call.args, call.result, call.state).
#define ARDUDF_UDR_FUNCTION(name) ARDUDF_UDR_FUNCTION_WITH(name, ::ardudf::udr::Stateless)

// The same, for a function whose instance keeps a State made from the attachment's context.
#define ARDUDF_UDR_FUNCTION_WITH(name, State)                                                                          \
    static void name##_body(const ::ardudf::udr::Call<::ardudf::catalogue::index_of(#name), State>& call);             \
    static ::Firebird::Udr::FunctionFactoryImpl<                                                                       \
        ::ardudf::udr::Routine<::ardudf::catalogue::index_of(#name), State, &name##_body>, ::ardudf::udr::Status>      \
        name##_factory(#name);                                                                                         \
    static void name##_body(const ::ardudf::udr::Call<::ardudf::catalogue::index_of(#name), State>& call)

// A text field of a procedure's own message, as wide as the catalogue's UDR width.
#define ARDUDF_TEXT_FIELD(value) FB_INTL_VARCHAR((value).width.udr, 0)
