// The exceptions of the signal plug-in. QuaException keeps its own copy of
// the message; the three kinds say what failed: reading the file, a number
// out of range, or a file (or call) that cannot be handled.
#pragma once

#include <stdexcept>
#include <string>

namespace Quarnet {

class QuaException : public std::runtime_error {
public:
    explicit QuaException(const std::string& message);
    ~QuaException() override;
    const std::string& Message() const { return message_; }

private:
    std::string message_;
};

class QuaEIOError : public QuaException {
public:
    using QuaException::QuaException;
    ~QuaEIOError() override;
};

class QuaEOutOfRange : public QuaException {
public:
    using QuaException::QuaException;
    ~QuaEOutOfRange() override;
};

class QuaEWrongOperation : public QuaException {
public:
    using QuaException::QuaException;
    ~QuaEWrongOperation() override;
};

}  // namespace Quarnet
