// What a step that can fail hands back: Windows' error code for why it failed. The code travels
// with the answer, so that whoever reports the failure says its real cause however many calls
// (a log line among them) have run since.
#ifndef COMMON_OUTCOME_H
#define COMMON_OUTCOME_H

#include <windows.h>

#include <string>

class Outcome {
public:
    // Went well.
    constexpr Outcome() = default;
    // Failed for error; a failure that Windows gave no code for still counts as one.
    static constexpr Outcome Failed(DWORD error) { return Outcome(error == ERROR_SUCCESS ? ERROR_UNIDENTIFIED_ERROR : error); }
    // A registry call's own result, ERROR_SUCCESS or the code.
    static constexpr Outcome From(LONG status) { return Outcome(static_cast<DWORD>(status)); }
    // ok, or the error the failed call left.
    static constexpr Outcome Of(bool ok, DWORD error) { return ok ? Outcome() : Failed(error); }
    // Only the results above: a bool passed here would lose its cause.
    template <typename T>
    Outcome(T) = delete;

    constexpr explicit operator bool() const { return error_ == ERROR_SUCCESS; }
    constexpr DWORD Error() const { return error_; }

    // Several steps that all run: the first failure is the one to report.
    constexpr Outcome& operator&=(Outcome next) {
        if (error_ == ERROR_SUCCESS) error_ = next.error_;
        return *this;
    }

private:
    constexpr explicit Outcome(DWORD error) : error_(error) {}
    DWORD error_ = ERROR_SUCCESS;
};

// A failure as the user is told it: the program's own text and Windows' code for the cause (0
// when there is none to add).
struct Failure {
    std::string text;
    DWORD cause = ERROR_SUCCESS;
    bool Happened() const { return !text.empty(); }
};

#endif
