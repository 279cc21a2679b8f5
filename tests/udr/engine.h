// A stand-in for the part of Firebird's engine that a UDR module meets: it loads the module,
// hands its entry point a plugin object to register the routines with, sets each routine up
// from its declaration, lays the messages out as the engine does and calls the routines,
// one instance per routine and attachment. Built on the interfaces of firebird-dev.
#pragma once

#include <firebird/Interface.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace host {

// A declared parameter or result: an SQL type as the engine describes it to the module.
struct Param {
    std::string name;
    unsigned type = 0;   // SQL_VARYING, SQL_LONG, ...; the nullable bit is added as the engine does
    unsigned length = 0; // bytes
    unsigned charset = 0;
    int scale = 0;
};

// One routine declared with ENGINE UDR.
struct Declaration {
    std::string name;        // as declared (upper case, as the engine names it)
    std::string entry_point; // the whole EXTERNAL NAME: module!routine[!info]
    bool procedure = false;
    std::vector<Param> in, out;
};

// A value of a message field, or a literal of a call.
struct Value {
    enum Kind { null, integer, real, text } kind = null;
    std::int64_t i = 0;
    double d = 0;
    std::string s;     // text; for a number literal, its digits as written
    bool exact = true; // a number literal without exponent (NUMERIC), as the engine types it
};

// What a call gives: the rows (one for a function), or the engine's error lines.
struct Outcome {
    std::vector<std::vector<Value>> rows;
    std::vector<unsigned> types; // SQL type of each column
    std::vector<std::string> error;
};

// Where the fields of a message lie, by the engine's rule: each value aligned for its type,
// its null flag (ISC_SHORT) aligned to 2 behind it.
struct FieldLayout {
    unsigned type, length, charset, offset, null_offset;
};
std::vector<FieldLayout> lay_out(const std::vector<Param>& fields, unsigned* message_length);

class Module;
class Attachment;
struct Routine;

// The engine: one loaded module and the attachments that call its routines.
class Engine {
public:
    explicit Engine(const std::string& module_path);
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    void declare(const Declaration& d);
    const Declaration* find(const std::string& name) const;
    // Calls a routine in attachment n (made on first use).
    Outcome call(int attachment, const std::string& name, const std::vector<Value>& args);
    // Ends attachment n: its routine instances are disposed, as when a connection closes.
    void end(int attachment);
    // Names the module registered, functions and procedures.
    std::vector<std::string> registered() const;

private:
    // Destroyed in reverse: the instances, then the routines, then the module.
    std::unique_ptr<Module> module_;
    std::map<std::string, Declaration> declarations_;
    std::map<std::string, std::unique_ptr<Routine>> routines_;
    std::map<int, std::unique_ptr<Attachment>> attachments_;
};

// The engine's wording of a status vector, one line per message (as isql prints it).
std::vector<std::string> interpret(const intptr_t* vector);

} // namespace host
