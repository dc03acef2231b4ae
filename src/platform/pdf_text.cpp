#include "platform/pdf_text.h"

#include "platform/core/whole_file.h"

#include <QFile>
#include <QPaintEngine>
#include <QPrinter>
#include <QRegularExpression>

#include <algorithm>
#include <optional>
#include <set>
#include <string_view>
#include <vector>

namespace {

// Unicode's equivalent unified ideograph of each CJK radicals supplement code point from
// U+2E80, '?' where it names none; a Kangxi radical decomposes to its own.
constexpr std::u32string_view supplement
    = U"?厂乛乚乙亻冂𠘨刀刂卜㔾小小兀尣尢𡯂巳幺彑彐忄心扌攵?"
      U"旡日月歺母民氵氺灬爫爫丬牛犭王𤴔目示礻𥫗糹纟罓罒㓁冗𦉫羊𦍌𦍋耂肀聿肉𦥑艹艹艹虎衤覀西见角𧢲"
      U"讠贝𧾷车辶辶辶邑钅長镸长门𨸏阝雨青韦页风飞食𩙿飠饣𩠐马骨鬼鱼鸟卤麦黄黾斉齐歯齿竜龙龜亀龟";

// The hex of the ideograph that the UTF-16 hex `hex` names when it is a radical, else `hex`.
QString ideographHex(const QString &hex)
{
    const uint unit = hex.size() == 4 ? hex.toUInt(nullptr, 16) : 0;
    QString ideograph;
    if (unit >= 0x2F00 && unit <= 0x2FD5)
        ideograph = QString(QChar(unit)).normalized(QString::NormalizationForm_KC);
    else if (unit >= 0x2E80 && unit - 0x2E80 < supplement.size()
             && supplement[unit - 0x2E80] != U'?')
        ideograph = QString::fromUcs4(&supplement[unit - 0x2E80], 1);
    if (ideograph.isEmpty())
        return hex;
    QString out;
    for (const QChar c : ideograph)
        out += QStringLiteral("%1").arg(c.unicode(), 4, 16, QChar('0')).toUpper();
    return out;
}

// `cmap` with its radicals made ideographs. Qt writes each mapping as a range of glyphs, to
// consecutive code points or to a list of them; a range that reaches a radical becomes a list.
// Nothing when the map is not as Qt writes it.
std::optional<QByteArray> mendedCMap(const QByteArray &cmap)
{
    static const QRegularExpression range(
        R"(\s*<([0-9A-Fa-f]{4})>\s*<([0-9A-Fa-f]{4})>\s*)"
        R"((?:<([0-9A-Fa-f]{4})>|\[((?:\s*<[0-9A-Fa-f]+>)*)\s*\]))");
    static const QRegularExpression hex("<([0-9A-Fa-f]+)>");
    const QString text = QString::fromLatin1(cmap);
    QString out;
    qsizetype at = 0;
    for (qsizetype begin = 0; (begin = text.indexOf("beginbfrange", at)) >= 0;) {
        const qsizetype end = text.indexOf("endbfrange", begin);
        out += text.mid(at, begin + 12 - at);
        for (at = begin + 12; at < end;) {
            const QRegularExpressionMatch m
                = range.match(text, at, QRegularExpression::NormalMatch,
                              QRegularExpression::AnchorAtOffsetMatchOption);
            const uint low = m.captured(1).toUInt(nullptr, 16);
            const uint high = m.captured(2).toUInt(nullptr, 16);
            if (!m.hasMatch() || m.capturedEnd() > end || high < low)
                break;
            QStringList to;
            if (m.hasCaptured(3)) {
                const uint first = m.captured(3).toUInt(nullptr, 16);
                for (uint i = 0; i <= high - low; ++i)
                    to << QStringLiteral("%1").arg(first + i, 4, 16, QChar('0')).toUpper();
            } else {
                for (const QRegularExpressionMatch &h : hex.globalMatch(m.captured(4)))
                    to << h.captured(1);
            }
            QStringList mended;
            for (const QString &code : to)
                mended << ideographHex(code);
            out += mended == to ? m.captured(0)
                                : QStringLiteral("\n<%1> <%2> [<%3>]")
                                      .arg(m.captured(1), m.captured(2), mended.join("> <"));
            at = m.capturedEnd();
        }
        if (end < 0 || !text.mid(at, end - at).trimmed().isEmpty())
            return {};
    }
    return (out + text.mid(at)).toLatin1();
}

struct Splice {
    qsizetype from, to;
    QByteArray with;
};

// The object `number` of `pdf` at `offset`, when it is a text map as Qt writes it: the splice
// that mends it (empty when it needs none), or nothing.
std::optional<Splice> mendedTextMap(const QByteArray &pdf, int number, qsizetype offset)
{
    const QByteArray head = QByteArray::number(number) + " 0 obj\n<< /Length ";
    const qsizetype from = offset + head.size(), lengthEnd = pdf.indexOf(" >>\nstream\n", from);
    bool ok = false;
    const qsizetype length = pdf.mid(from, lengthEnd - from).toLongLong(&ok);
    const qsizetype data = lengthEnd + 11;
    if (pdf.mid(offset, head.size()) != head || lengthEnd < 0 || !ok
        || pdf.mid(data + length, 10) != "\nendstream")
        return {};
    const std::optional<QByteArray> cmap = mendedCMap(pdf.mid(data, length));
    if (!cmap)
        return {};
    if (*cmap == pdf.mid(data, length))
        return Splice {};
    return Splice { from, data + length,
                    QByteArray::number(cmap->size()) + " >>\nstream\n" + *cmap };
}

} // namespace

bool mendPdfText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray pdf = file.readAll();
    file.close();
    // One cross-reference table, as Qt writes it: "xref", "0 n", n entries of 20 bytes and a
    // trailer that names no encryption nor an earlier table.
    bool ok = false;
    const qsizetype startxref = pdf.lastIndexOf("startxref");
    const QList<QByteArray> tail = pdf.mid(startxref + 9).simplified().split(' ');
    const qsizetype xref = tail[0].toLongLong(&ok);
    const qsizetype entries = pdf.indexOf('\n', xref + 7) + 1;
    const int count = ok ? pdf.mid(xref + 7, entries - xref - 8).toInt(&ok) : 0;
    const qsizetype trailer = entries + qsizetype(20) * count;
    const QByteArray trailerText = pdf.mid(trailer, startxref - trailer);
    if (!ok || startxref < 0 || tail.size() != 2 || tail[1] != "%%EOF" || count <= 0
        || trailer > startxref // the table lies whole before its end
        || pdf.mid(xref, 7) != "xref\n0 " || !trailerText.startsWith("trailer")
        || trailerText.contains("/Encrypt") || trailerText.contains("/Prev")
        || trailerText.contains("/XRefStm"))
        return false;
    std::vector<qsizetype> offsets(count, -1);
    for (int i = 0; i < count; ++i) {
        const QByteArray entry = pdf.mid(entries + qsizetype(20) * i, 20);
        if (entry[17] == 'n')
            offsets[i] = entry.left(10).toLongLong(&ok);
        if (!ok || (entry[17] != 'n' && entry[17] != 'f'))
            return false;
    }
    // Each font's text map, once.
    std::set<int> maps;
    for (qsizetype at = 0; (at = pdf.indexOf("/ToUnicode ", at)) >= 0; at += 11) {
        const QList<QByteArray> ref = pdf.mid(at + 11, 24).split(' ');
        const int number = ref[0].toInt(&ok);
        if (!ok || ref.size() < 3 || ref[1] != "0" || !ref[2].startsWith('R') || number <= 0
            || number >= count || offsets[number] < 0)
            return false;
        maps.insert(number);
    }
    std::vector<Splice> splices;
    for (const int number : maps) {
        const std::optional<Splice> splice = mendedTextMap(pdf, number, offsets[number]);
        if (!splice)
            return false;
        if (!splice->with.isEmpty())
            splices.push_back(*splice);
    }
    if (splices.empty())
        return true;
    std::sort(splices.begin(), splices.end(),
              [](const Splice &a, const Splice &b) { return a.from < b.from; });
    QByteArray out;
    qsizetype at = 0;
    for (const Splice &s : splices) {
        if (s.from < at || s.to > xref) // maps that overlap, or past the table
            return false;
        out += pdf.mid(at, s.from - at) + s.with;
        at = s.to;
    }
    out += pdf.mid(at, xref - at);
    const qsizetype movedXref = out.size();
    out += pdf.mid(xref, entries - xref);
    for (int i = 0; i < count; ++i) {
        qsizetype offset = offsets[i];
        for (const Splice &s : splices)
            offset += s.from < offsets[i] ? s.with.size() - (s.to - s.from) : 0;
        const QByteArray entry = pdf.mid(entries + qsizetype(20) * i, 20);
        out += (offset < 0 ? entry.left(10) : QByteArray::number(offset).rightJustified(10, '0'))
            + entry.mid(10);
    }
    out += trailerText + "startxref\n" + QByteArray::number(movedXref) + "\n%%EOF\n";
    return saveWhole(path, out).isEmpty();
}

void mendPdfText(const QPrinter &printer)
{
    // A preview paints through an engine of its own and writes no file.
    if (printer.outputFormat() == QPrinter::PdfFormat
        && printer.paintEngine()->type() == QPaintEngine::Pdf)
        mendPdfText(printer.outputFileName());
}
