#include "tests/support/WorkbookFiles.h"

#include <charconv>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QtDebug>

#include <zip.h>

namespace promotest {

namespace {

// Reads "kind row col span format value" lines; the same calls exist in
// both modules, so .xls and .xlsx get the very same sheet.
const char kPerlWriter[] = R"PERL(
use strict; use warnings;
my ($module, $out) = @ARGV;
eval "require $module; 1" or die $@;
binmode STDIN, ':encoding(UTF-8)';
my $wb = $module->new($out) or die "cannot create $out";
my $ws = $wb->add_worksheet('Foglio1');
my %formats;
sub fmt { my $f = shift; return undef if $f eq ''; $formats{$f} //= $wb->add_format(num_format => $f); }
while (my $line = <STDIN>) {
    chomp $line;
    my ($kind, $r, $c, $span, $f, $v) = split /\t/, $line, 6;
    $v //= '';
    $v =~ s/\\(.)/$1 eq 'n' ? "\n" : $1 eq 't' ? "\t" : $1/ge;
    if ($span > 1) { $ws->merge_range($r, $c, $r, $c + $span - 1, $v, fmt($f) // $wb->add_format()); }
    elsif ($kind eq 's') { $ws->write_string($r, $c, $v, fmt($f)); }
    elsif ($kind eq 'n') { $ws->write_number($r, $c, $v, fmt($f)); }
    else { $ws->write_date_time($r, $c, $v, fmt($f)); }
}
$wb->add_worksheet('Altro')->write_string(0, 0, 'non letto');
$wb->close or die "cannot write $out";
)PERL";

QString Shortest(double v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return QString::fromLatin1(buf, r.ptr - buf);
}

QString PerlEscaped(QString s) {
    return s.replace(u'\\', QStringLiteral("\\\\")).replace(u'\n', QStringLiteral("\\n")).replace(u'\t', QStringLiteral("\\t"));
}

bool WriteWithPerl(const char* module, const QString& path, const WbSheet& sheet) {
    QByteArray input;
    for (size_t r = 0; r < sheet.size(); ++r) {
        for (size_t c = 0; c < sheet[r].size(); ++c) {
            const WbCell& cell = sheet[r][c];
            QString kind, value;
            switch (cell.kind) {
            case WbCell::Kind::Empty: continue;
            case WbCell::Kind::Text: kind = "s"; value = cell.text; break;
            case WbCell::Kind::Number: kind = "n"; value = Shortest(cell.number); break;
            // Both modules want the 'T': "2024-03-05T", "T12:30:45".
            case WbCell::Kind::Date: kind = "d"; value = cell.iso.contains(u'T') ? cell.iso : cell.iso + u'T'; break;
            case WbCell::Kind::Time: kind = "d"; value = u'T' + cell.iso; break;
            }
            input += QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\n")
                         .arg(kind)
                         .arg(r)
                         .arg(c)
                         .arg(cell.spanCols)
                         .arg(cell.format, PerlEscaped(value))
                         .toUtf8();
        }
    }
    QProcess perl;
    perl.start(QStringLiteral("perl"), {QStringLiteral("-e"), QString::fromUtf8(kPerlWriter), QString::fromLatin1(module), path});
    perl.write(input);
    perl.closeWriteChannel();
    perl.waitForFinished(60000);
    const bool ok = perl.exitStatus() == QProcess::NormalExit && perl.exitCode() == 0;
    if (!ok) qWarning().noquote() << module << ":" << QString::fromUtf8(perl.readAllStandardError());
    return ok;
}

QString XmlEscaped(QString s) {
    return s.replace(u'&', QStringLiteral("&amp;"))
        .replace(u'<', QStringLiteral("&lt;"))
        .replace(u'>', QStringLiteral("&gt;"))
        .replace(u'"', QStringLiteral("&quot;"));
}

// A paragraph as LibreOffice writes it: runs of blanks as <text:s/>.
QString OdsParagraph(const QString& line) {
    QString out = QStringLiteral("<text:p>");
    static const QRegularExpression blanks(QStringLiteral("  +|^ "));
    qsizetype last = 0;
    for (auto it = blanks.globalMatch(line); it.hasNext();) {
        const auto m = it.next();
        const qsizetype n = m.capturedLength();
        // One blank stays a blank, except at the start; the rest are <text:s>.
        const bool keepOne = m.capturedStart() > 0;
        out += XmlEscaped(line.mid(last, m.capturedStart() - last)) + (keepOne ? QStringLiteral(" ") : QString()) +
               QStringLiteral("<text:s text:c=\"%1\"/>").arg(keepOne ? n - 1 : n);
        last = m.capturedEnd();
    }
    return out + XmlEscaped(line.mid(last)) + QStringLiteral("</text:p>");
}

QString OdsCell(const WbCell& c) {
    const QString span = c.spanCols > 1 ? QStringLiteral(" table:number-columns-spanned=\"%1\"").arg(c.spanCols) : QString();
    switch (c.kind) {
    case WbCell::Kind::Empty: return QStringLiteral("<table:table-cell/>");
    case WbCell::Kind::Text: {
        QString paragraphs;
        for (const QString& line : c.text.split(u'\n')) paragraphs += OdsParagraph(line);
        return QStringLiteral("<table:table-cell office:value-type=\"string\"%1>%2</table:table-cell>").arg(span, paragraphs);
    }
    case WbCell::Kind::Number:
        // The paragraph is what LibreOffice would show; the reader takes the value.
        return QStringLiteral("<table:table-cell office:value-type=\"float\" office:value=\"%1\"%2><text:p>%3</text:p>"
                              "</table:table-cell>")
            .arg(Shortest(c.number), span, XmlEscaped(c.text));
    case WbCell::Kind::Date:
        return QStringLiteral("<table:table-cell office:value-type=\"date\" office:date-value=\"%1\"%2><text:p>%1</text:p>"
                              "</table:table-cell>")
            .arg(c.iso, span);
    case WbCell::Kind::Time: {
        const QStringList hms = c.iso.split(u':');
        return QStringLiteral("<table:table-cell office:value-type=\"time\" office:time-value=\"PT%1H%2M%3S\"%4>"
                              "<text:p>%5</text:p></table:table-cell>")
            .arg(hms.value(0), hms.value(1), hms.value(2), span, c.iso);
    }
    }
    return {};
}

QByteArray OdsContent(const WbSheet& sheet) {
    QString xml = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" office:version=\"1.2\">"
        "<office:body><office:spreadsheet><table:table table:name=\"Foglio1\">"
        "<table:table-column table:number-columns-repeated=\"1024\"/>\n");
    int emptyRows = 0;
    auto flushEmptyRows = [&] {
        if (emptyRows > 0)
            xml += QStringLiteral("<table:table-row table:number-rows-repeated=\"%1\"><table:table-cell "
                                  "table:number-columns-repeated=\"1024\"/></table:table-row>\n")
                       .arg(emptyRows);
        emptyRows = 0;
    };
    for (const WbRow& row : sheet) {
        bool any = false;
        for (const WbCell& c : row) any |= c.kind != WbCell::Kind::Empty;
        if (!any) {
            ++emptyRows;
            continue;
        }
        flushEmptyRows();
        xml += QStringLiteral("<table:table-row>");
        int empties = 0, used = 0;
        for (size_t i = 0; i < row.size(); ++i) {
            const WbCell& c = row[i];
            if (c.kind == WbCell::Kind::Empty) {
                ++empties;
                continue;
            }
            // Runs of empty cells as one repeated cell, as LibreOffice saves them.
            if (empties > 0)
                xml += QStringLiteral("<table:table-cell table:number-columns-repeated=\"%1\"/>").arg(empties);
            used += empties + c.spanCols;
            empties = 0;
            xml += OdsCell(c);
            for (int k = 1; k < c.spanCols; ++k) xml += QStringLiteral("<table:covered-table-cell/>");
            i += c.spanCols - 1;
        }
        xml += QStringLiteral("<table:table-cell table:number-columns-repeated=\"%1\"/></table:table-row>\n").arg(1024 - used);
    }
    // The rest of the sheet, empty, the way LibreOffice ends every table.
    emptyRows += 1048576 - static_cast<int>(sheet.size());
    flushEmptyRows();
    xml += QStringLiteral(
        "</table:table><table:table table:name=\"Altro\"><table:table-row><table:table-cell "
        "office:value-type=\"string\"><text:p>non letto</text:p></table:table-cell></table:table-row></table:table>"
        "</office:spreadsheet></office:body></office:document-content>\n");
    return xml.toUtf8();
}

QString CsvField(const WbCell& c) {
    switch (c.kind) {
    case WbCell::Kind::Empty: return {};
    case WbCell::Kind::Text:
    case WbCell::Kind::Number: return c.text;
    case WbCell::Kind::Date: {
        QString out = c.iso.mid(8, 2) + u'/' + c.iso.mid(5, 2) + u'/' + c.iso.left(4);
        return c.iso.size() > 10 ? out + u' ' + c.iso.mid(11) : out;
    }
    case WbCell::Kind::Time: return c.iso;
    }
    return {};
}

}  // namespace

WbCell T(const QString& text) {
    WbCell c;
    c.kind = WbCell::Kind::Text;
    c.text = text;
    return c;
}

WbCell N(double value, const QString& csvText, const QString& format) {
    WbCell c;
    c.kind = WbCell::Kind::Number;
    c.number = value;
    c.text = csvText.isEmpty() ? Shortest(value) : csvText;
    c.format = format;
    return c;
}

WbCell D(const QString& iso, const QString& format) {
    WbCell c;
    c.kind = WbCell::Kind::Date;
    c.iso = iso;
    c.format = format;
    return c;
}

WbCell Tm(const QString& hms, const QString& format) {
    WbCell c;
    c.kind = WbCell::Kind::Time;
    c.iso = hms;
    c.format = format;
    return c;
}

WbCell Merged(const QString& text, int cols) {
    WbCell c = T(text);
    c.spanCols = cols;
    return c;
}

WbSheet Typed(const std::vector<std::vector<std::string>>& rows) {
    static const QRegularExpression number(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
    WbSheet sheet;
    for (const auto& row : rows) {
        WbRow out;
        for (const std::string& s : row) {
            const QString text = QString::fromStdString(s);
            if (text.isEmpty()) out.emplace_back();
            else if (number.match(text).hasMatch()) out.push_back(N(text.toDouble(), text));
            else out.push_back(T(text));
        }
        sheet.push_back(std::move(out));
    }
    return sheet;
}

const char* Extension(WbFormat f) {
    switch (f) {
    case WbFormat::Xls: return "xls";
    case WbFormat::Xlsx: return "xlsx";
    case WbFormat::Ods: return "ods";
    case WbFormat::Csv: return "csv";
    }
    return "";
}

bool WriteZip(const QString& path, const std::vector<std::pair<QString, QByteArray>>& entries) {
    int error = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!z) {
        qWarning() << "zip_open" << error;
        return false;
    }
    bool first = true;
    for (const auto& [name, bytes] : entries) {
        zip_source_t* src = zip_source_buffer(z, bytes.constData(), static_cast<zip_uint64_t>(bytes.size()), 0);
        const zip_int64_t i = src ? zip_file_add(z, name.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8) : -1;
        if (i < 0) {
            if (src) zip_source_free(src);
            qWarning() << "zip_file_add" << zip_strerror(z);
            zip_discard(z);
            return false;
        }
        zip_set_file_compression(z, static_cast<zip_uint64_t>(i), first ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
        first = false;
    }
    // The buffers are read here, while `entries` still holds them.
    if (zip_close(z) != 0) {
        qWarning() << "zip_close" << zip_strerror(z);
        zip_discard(z);
        return false;
    }
    return true;
}

QByteArray CsvText(const WbSheet& sheet, char sep) {
    QString out;
    for (const WbRow& row : sheet) {
        QStringList fields;
        for (const WbCell& c : row) {
            QString f = CsvField(c);
            if (f.contains(QLatin1Char(sep)) || f.contains(u'"') || f.contains(u'\n') || f.contains(u'\r'))
                f = u'"' + f.replace(u'"', QStringLiteral("\"\"")) + u'"';
            fields << f;
        }
        out += fields.join(QLatin1Char(sep)) + QStringLiteral("\r\n");
    }
    return out.toUtf8();
}

bool WriteWorkbook(WbFormat format, const QString& path, const WbSheet& sheet) {
    switch (format) {
    case WbFormat::Xls: return WriteWithPerl("Spreadsheet::WriteExcel", path, sheet);
    case WbFormat::Xlsx: return WriteWithPerl("Excel::Writer::XLSX", path, sheet);
    case WbFormat::Ods: {
        const QByteArray manifest =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<manifest:manifest "
            "xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" manifest:version=\"1.2\">"
            "<manifest:file-entry manifest:full-path=\"/\" "
            "manifest:media-type=\"application/vnd.oasis.opendocument.spreadsheet\"/>"
            "<manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>"
            "</manifest:manifest>\n";
        return WriteZip(path, {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                               {"META-INF/manifest.xml", manifest},
                               {"content.xml", OdsContent(sheet)}});
    }
    case WbFormat::Csv: {
        QFile f(path);
        const QByteArray bytes = CsvText(sheet);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }
    }
    return false;
}

}  // namespace promotest
