#include "base/errors.h"

#include <cstring>

static QString WithContext(const QString &context, const QString &text)
{
    return context.isEmpty() ? text : context + QStringLiteral(": ") + text;
}

QString SystemErrorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

ESystemError::ESystemError(int error, const QString &context)
    : ESystemError(error, context, SystemErrorText(error))
{}

ESystemError::ESystemError(int error, const QString &context, const QString &reason)
    : EQuavermill(WithContext(context, reason)), m_error(error), m_reason(reason)
{}

QString ErrorText(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const EQuavermill &e) {
        return e.message();
    } catch (const std::exception &e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QString();
    }
}
