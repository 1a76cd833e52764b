#include "ManualWindow.h"

#include "HelpWindow.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QStringList>
#include <QTextBrowser>

namespace {

// The words of a request's arguments: separated by spaces, "quoted" ones kept whole.
QStringList arguments(const QString& text)
{
    QStringList words;
    QString word;
    bool quoted = false;
    bool any = false;
    for (QChar c : text) {
        if (c == u'"') {
            quoted = !quoted;
            any = true;
        } else if (c == u' ' && !quoted) {
            if (any)
                words << word;
            word.clear();
            any = false;
        } else {
            word += c;
            any = true;
        }
    }
    if (any)
        words << word;
    return words;
}

// Text with its escapes: \fB, \fI, \fR and \fP change the font; \-, \(-> and \e are characters.
QString inlineText(const QString& text)
{
    QString html;
    QString open;  // the tag of the font in use, if any
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\\' || i + 1 == text.size()) {
            html += c == u'<' ? QStringLiteral("&lt;") : c == u'>' ? QStringLiteral("&gt;")
                  : c == u'&' ? QStringLiteral("&amp;") : QString(c);
            continue;
        }
        const QChar next = text[++i];
        if (next == u'f' && i + 1 < text.size()) {
            const QChar font = text[++i];
            if (!open.isEmpty())
                html += QStringLiteral("</%1>").arg(open);
            open = font == u'B' ? QStringLiteral("b") : font == u'I' ? QStringLiteral("i") : QString();
            if (!open.isEmpty())
                html += QStringLiteral("<%1>").arg(open);
        } else if (next == u'(' && text.mid(i + 1, 2) == QLatin1String("->")) {
            html += QChar(0x2192);
            i += 2;
        } else if (next == u'e') {
            html += u'\\';
        } else {
            html += next;  // \- and any other escaped character: the character
        }
    }
    if (!open.isEmpty())
        html += QStringLiteral("</%1>").arg(open);
    return html;
}

// .B, .I and the requests that alternate two fonts word by word (.BR, .RI, ...).
QString fonts(const QString& request, const QString& rest)
{
    const QStringList words = arguments(rest);
    QString html;
    for (qsizetype w = 0; w < words.size(); ++w) {
        const QChar font = request.size() == 1 ? request[0] : request[w % 2];
        const QString text = inlineText(words[w]);
        html += font == u'B' ? QStringLiteral("<b>%1</b>").arg(text)
              : font == u'I' ? QStringLiteral("<i>%1</i>").arg(text) : text;
        if (request.size() == 1 && w + 1 < words.size())
            html += u' ';
    }
    return html;
}

}  // namespace

QString ManualWindow::toHtml(const QString& roff)
{
    QString html;
    QString close;        // what ends the block in progress
    bool tagNext = false;  // the next line is the tag of a tagged paragraph
    bool example = false;
    auto endBlock = [&] {
        html += close;
        close.clear();
    };
    for (const QString& line : roff.split(u'\n')) {
        if (!line.startsWith(u'.')) {
            if (example) {
                html += inlineText(line) + u'\n';
                continue;
            }
            html += inlineText(line) + u' ';
        } else {
            const qsizetype space = line.indexOf(u' ');
            const QString request = line.mid(1, space < 0 ? -1 : space - 1);
            const QString rest = space < 0 ? QString() : line.mid(space + 1);
            if (request == QLatin1String("TH")) {
                const QStringList words = arguments(rest);
                html += QStringLiteral("<h2>%1(%2)</h2>").arg(words.value(0), words.value(1));
                continue;
            } else if (request == QLatin1String("SH")) {
                endBlock();
                html += QStringLiteral("<h3>%1</h3>").arg(inlineText(arguments(rest).join(u' ')));
                continue;
            } else if (request == QLatin1String("PP") || request == QLatin1String("TP")) {
                endBlock();
                html += request == QLatin1String("PP") ? QStringLiteral("<p>") : QStringLiteral("<dl><dt>");
                close = request == QLatin1String("PP") ? QStringLiteral("</p>") : QStringLiteral("</dd></dl>");
                tagNext = request == QLatin1String("TP");
                continue;
            } else if (request == QLatin1String("RS") || request == QLatin1String("RE")) {
                endBlock();
                html += request == QLatin1String("RS") ? QStringLiteral("<blockquote>") : QStringLiteral("</blockquote>");
                continue;
            } else if (request == QLatin1String("EX") || request == QLatin1String("EE")) {
                example = request == QLatin1String("EX");
                html += example ? QStringLiteral("<pre>") : QStringLiteral("</pre>");
                continue;
            } else if (request.size() <= 2 && !request.isEmpty() &&
                       request.toStdU16String().find_first_not_of(u"BIR") == std::u16string::npos) {
                html += fonts(request, rest) + u' ';
            } else {
                continue;  // comments and requests the page does not need drawn
            }
        }
        if (tagNext) {
            html += QStringLiteral("</dt><dd>");
            tagNext = false;
        }
    }
    endBlock();
    return html;
}

QDialog* ManualWindow::show(QMainWindow* window)
{
    Q_INIT_RESOURCE(manual);  // the page is in the library, which nothing else would pull it from
    return HelpWindow::show(window, QStringLiteral("manual"), tr("Game of Life Manual"), {640, 720},
                            [](QDialog* dialog) {
                                QFile page(QStringLiteral(":/manual/gameoflife.1"));
                                auto* text = new QTextBrowser(dialog);
                                text->setObjectName(QStringLiteral("manualText"));
                                text->setHtml(page.open(QIODevice::ReadOnly)
                                                  ? toHtml(QString::fromUtf8(page.readAll()))
                                                  : tr("The manual page is missing."));
                                return text;
                            });
}
