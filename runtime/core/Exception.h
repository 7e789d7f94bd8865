// Exception classes of the component runtime stand-in.
#pragma once

#include <exception>
#include <string>

// Base of every error the add-in raises; carries a user-readable message.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : FMessage(std::move(message)) {}
    const char* what() const noexcept override { return FMessage.c_str(); }
    const std::string& Message() const noexcept { return FMessage; }

private:
    std::string FMessage;
};

// A broken contract: the message and the name of the unit that checked it.
class EAssertionFailed : public Exception {
public:
    EAssertionFailed(const std::string& message, std::string unitName);
    const std::string& AssertMessage() const noexcept { return FAssertMessage; }
    const std::string& UnitName() const noexcept { return FUnitName; }

private:
    std::string FAssertMessage;
    std::string FUnitName;
};

// Raised by the string list on an index outside the list: "List index out of bounds (%d)".
class EStringListError : public Exception {
public:
    explicit EStringListError(int index);
    int Index() const noexcept { return FIndex; }

private:
    int FIndex;
};

// Raised when a component stream cannot be read.
class EReadError : public Exception {
public:
    using Exception::Exception;
};

// Raised by the registry stand-in (unreadable file, wrong value type, refused write).
class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

// Raises EAssertionFailed when the condition does not hold.
void Assert(bool condition, const std::string& message, const std::string& unitName);
