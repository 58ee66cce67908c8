#include "base/errors.h"

#include <cstring>

static QString SystemText(int error, const QString &context)
{
    const QString text = QString::fromLocal8Bit(std::strerror(error));
    return context.isEmpty() ? text : context + QStringLiteral(": ") + text;
}

ESystemError::ESystemError(int error, const QString &context)
    : EQuavermill(SystemText(error, context)), m_error(error)
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
