// How every step that can fail says how it went, in every part of the program: `error` is
// empty on success, and otherwise tells the operator why, naming the field, block or file.
// `kind` is what a caller may act on (a missing file, a busy port, a silent radio): callers
// decide by the kind, never by the words. `context` is where it happened, added by each
// caller on the way up (the file, the block, the field), innermost first; message() shows it
// before the error. `value` is what the step made; `notes` are what the operator should still
// know of a success (a character the file could not carry, bytes kept as they came).
#pragma once

#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace base {

// The value of a step that makes nothing.
using Nothing = std::monostate;

// What went wrong, as far as a caller acts on it.
enum class ErrorKind {
    Other,        // nothing a caller acts on: the error says what
    NotFound,     // no such file, folder or device
    Folder,       // a folder where a file was wanted
    NotRegular,   // a device, pipe or socket where a file was wanted; no serial device where one was
    TooLarge,     // more bytes than the caller takes
    Permission,   // the system refused access
    ReadOnly,     // the file is marked read-only: not ours to replace
    Refused,      // a rule of this program refused (a link that may have been planted, another user's file)
    Busy,         // held by another (a program on the port, a procedure on the radio)
    NoAnswer,     // the radio did not answer, or not as the protocol says
    BadData,      // what was read does not read as it must (a file, a field, an option's value)
    Interrupted,  // stopped on request
    System,       // the system failed otherwise (a read or write, a full disk, no resources)
};

template <class T = Nothing>
struct Outcome {
    T value{};
    std::string error;
    std::vector<std::string> notes;
    ErrorKind kind = ErrorKind::Other;  // of the error; nothing on success
    std::vector<std::string> context;   // where, innermost first

    bool ok() const { return error.empty(); }

    // Adds where the error happened, as the caller knows it ("x.bc", "block 12").
    Outcome& within(std::string where) & {
        if (!ok()) context.push_back(std::move(where));
        return *this;
    }
    Outcome&& within(std::string where) && { return std::move(within(std::move(where))); }

    // The error with its context, outermost first: "x.bc: record 5, field 2: ...".
    std::string message() const {
        std::string text;
        for (auto it = context.rbegin(); it != context.rend(); ++it) text += *it + ": ";
        return text + error;
    }
};

// A step that made `value`.
template <class T>
Outcome<T> Success(T value) {
    Outcome<T> o;
    o.value = std::move(value);
    return o;
}

// A failed step: its error, and a value as the type starts.
template <class T = Nothing>
Outcome<T> Failure(std::string error, ErrorKind kind = ErrorKind::Other) {
    Outcome<T> o;
    o.error = std::move(error);
    o.kind = kind;
    return o;
}

// The failure of a step carried up as a failure of the step that called it: the error, its
// kind and context, and the notes.
template <class T, class U>
Outcome<T> Failure(const Outcome<U>& failed) {
    Outcome<T> o;
    o.error = failed.error;
    o.kind = failed.kind;
    o.context = failed.context;
    o.notes = failed.notes;
    return o;
}

}  // namespace base
