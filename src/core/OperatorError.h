#pragma once
// An error the operator must be told about, in Japanese. Every error that
// carries words for the operator derives from OperatorError; the guard at
// the edge of every screen shows message() for any of them, so logic throws
// and never shows a message itself.

#include <QString>
#include <stdexcept>
#include <string>

class OperatorError : public std::runtime_error {
public:
    explicit OperatorError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    // `what` is the text for logs and tests, when it differs from the words
    // the operator reads.
    OperatorError(const QString& message, const std::string& what) : std::runtime_error(what), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};
