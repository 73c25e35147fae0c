#pragma once
// The outcome of a change to the shared suite, and the error a button's action throws when its
// change was not stored.
#include <QString>
#include <stdexcept>

namespace velk {

// What a change to the shared suite did: stored, or why nothing was.
struct StoreResult {
    QString error; // empty when stored

    bool ok() const { return error.isEmpty(); }
    explicit operator bool() const { return ok(); }
};

// Thrown by a button's action whose change could not be stored. The action reports nothing to
// its widget; whoever runs it (the host's button handling, `velk-widgets run-intent`) catches
// it and says that the write failed.
class StoreWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws StoreWriteError with the result's reason when nothing was stored.
void requireStored(const StoreResult& result);

} // namespace velk
