#include "run/run_title.h"

#include <QLocale>
#include <QRegularExpression>

namespace {
// "<type>/<state>  S<cells>  @<channel>  <date>  hh:mm:ss", as a run's first sample writes it.
const QRegularExpression &defaultTitle()
{
    static const QRegularExpression re(
        QStringLiteral("^[^\\r\\n]*/[^\\r\\n]*  (?:S\\d+)?  @\\S*  (\\S[^\\r\\n]*)  "
                       "(\\d\\d:\\d\\d:\\d\\d)\\r?\\n?$"));
    return re;
}
} // namespace

bool isDefaultTitle(const QString &title)
{
    return title.trimmed().isEmpty() || defaultTitle().match(title).hasMatch();
}

QDateTime defaultTitleDate(const QString &title)
{
    const auto m = defaultTitle().match(title);
    if (!m.hasMatch())
        return {};
    // The date is in the short form of the locale that saved it: this one's, or a common one.
    const QString text = m.captured(1).trimmed();
    QDate date = QLocale::system().toDate(text, QLocale::ShortFormat);
    for (const char *form :
         { "yyyy-MM-dd", "yyyy/M/d", "d.M.yy", "d.M.yyyy", "M/d/yy", "d/M/yyyy" })
        if (!date.isValid())
            date = QDate::fromString(text, QString::fromLatin1(form));
    if (date.isValid() && date.year() < 1970) // two digits of the year
        date = date.addYears(100);
    const QTime time = QTime::fromString(m.captured(2), QStringLiteral("hh:mm:ss"));
    return date.isValid() ? QDateTime(date, time) : QDateTime();
}

QDateTime runStart(const QString &title, const QDateTime &fileTime, double seconds)
{
    const QDateTime named = defaultTitleDate(title);
    return named.isValid() || !fileTime.isValid() ? named
                                                  : fileTime.addMSecs(-qint64(seconds * 1000));
}

namespace {
const QRegularExpression &packTag()
{
    static const QRegularExpression tag(QStringLiteral("#(P\\d{4,6})(?!\\w)"),
                                        QRegularExpression::CaseInsensitiveOption);
    return tag;
}
} // namespace

QString packTagIn(const QString &title)
{
    return packTag().match(title).captured(1).toUpper();
}

QString withPackTag(const QString &title, const QString &id)
{
    const QString tag = u'#' + id;
    const QRegularExpressionMatch found = packTag().match(title);
    if (found.hasMatch())
        return QString(title).replace(found.capturedStart(), found.capturedLength(), tag);
    const QString trimmed = title.trimmed();
    if (trimmed.isEmpty())
        return tag;
    // Before the program's own description, which still tells the run's start then.
    return isDefaultTitle(title) ? tag + u' ' + title : trimmed + u' ' + tag;
}
