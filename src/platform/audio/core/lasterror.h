#pragma once

// The family's last error code, kept per calling thread so that a library
// thread never overwrites the code the user-interface thread is about to read.
void SetLastBassError(int code);
int LastBassError();

// Sets the code and returns the failure value, for one-line error exits.
template <typename T> T FailWith(int code, T failureValue) {
    SetLastBassError(code);
    return failureValue;
}
