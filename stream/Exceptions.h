// The failure family of the system. Every failure that loading or a control reports is one of these,
// raised with its message template already filled in; nothing below the application shows anything.
#pragma once

#include <exception>
#include <memory>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : FMessage(std::move(message)) {}
    const std::string& Message() const { return FMessage; }
    const char* what() const noexcept override { return FMessage.c_str(); }

    // An exception raised while handling this one, kept so the error display can show the innermost.
    const std::shared_ptr<const Exception>& InnerException() const { return FInner; }
    void SetInnerException(std::shared_ptr<const Exception> inner) { FInner = std::move(inner); }

private:
    std::string FMessage;
    std::shared_ptr<const Exception> FInner;
};

#define ORV_DECLARE_EXCEPTION(Name, Base)                                                                    \
    class Name : public Base {                                                                               \
    public:                                                                                                  \
        using Base::Base;                                                                                    \
    }

ORV_DECLARE_EXCEPTION(EAbort, Exception);
ORV_DECLARE_EXCEPTION(EStreamError, Exception);
ORV_DECLARE_EXCEPTION(EFilerError, EStreamError);
ORV_DECLARE_EXCEPTION(EReadError, EFilerError);
ORV_DECLARE_EXCEPTION(EClassNotFound, EFilerError);
ORV_DECLARE_EXCEPTION(EComponentError, Exception);
ORV_DECLARE_EXCEPTION(EResNotFound, Exception);
ORV_DECLARE_EXCEPTION(EInvalidOperation, Exception);
ORV_DECLARE_EXCEPTION(EListError, Exception);
ORV_DECLARE_EXCEPTION(EInvalidGraphic, Exception);
ORV_DECLARE_EXCEPTION(EOutOfResources, Exception);

// The text an exception is reported with: the message of one of the family above; for memory that
// could not be had (an allocation refused, a size beyond what a container can hold) the text the
// platform gives when it runs out of resources; for anything else what it says of itself.
std::string ExceptionMessage(const std::exception& e);
