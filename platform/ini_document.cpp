#include "platform/ini_document.h"

#include <algorithm>
#include <utility>

namespace wm {
namespace {

bool is_blank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QString trim_blanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && is_blank(text[begin])) {
        ++begin;
    }
    while (end > begin && is_blank(text[end - 1])) {
        --end;
    }
    return text.mid(begin, end - begin);
}

bool is_control(QChar c) {
    return c.unicode() < 0x20 || c.unicode() == 0x7f;
}

// The characters a quoted value writes as a backslash and a letter; other
// control characters are written as \xHH.
constexpr std::pair<char16_t, char16_t> kEscapes[] = {{u'\\', u'\\'}, {u'"', u'"'},  {u'\n', u'n'},
                                                      {u'\r', u'r'},  {u'\t', u't'}, {u'\0', u'0'}};

std::optional<char16_t> escape_letter(char16_t c) {
    for (const auto& [plain, letter] : kEscapes) {
        if (plain == c) {
            return letter;
        }
    }
    return std::nullopt;
}

std::optional<char16_t> unescaped(char16_t letter) {
    for (const auto& [plain, escaped] : kEscapes) {
        if (escaped == letter) {
            return plain;
        }
    }
    return std::nullopt;
}

bool is_comment(const QString& trimmed) {
    return trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#'));
}

// The name in a "[Name]" line, which may end in a comment ("[Options] ; mine").
std::optional<QString> section_header(const QString& trimmed) {
    if (!trimmed.startsWith(QLatin1Char('['))) {
        return std::nullopt;
    }
    for (qsizetype close = trimmed.lastIndexOf(QLatin1Char(']')); close > 0;
         close = trimmed.lastIndexOf(QLatin1Char(']'), close - 1)) {
        const QString rest = trim_blanks(trimmed.mid(close + 1));
        if (rest.isEmpty() || is_comment(rest)) {
            return trim_blanks(trimmed.mid(1, close - 1));
        }
    }
    return std::nullopt;
}

// Reads the inside of a quoted value; nullopt when it is not one we could
// have written (a bare quote inside, or an unknown escape).
std::optional<QString> unescape(const QString& inner) {
    QString out;
    out.reserve(inner.size());
    for (qsizetype i = 0; i < inner.size(); ++i) {
        const QChar c = inner[i];
        if (c == QLatin1Char('"')) {
            return std::nullopt;
        }
        if (c != QLatin1Char('\\')) {
            out += c;
            continue;
        }
        if (++i >= inner.size()) {
            return std::nullopt;
        }
        const char16_t letter = inner[i].unicode();
        if (const std::optional<char16_t> plain = unescaped(letter)) {
            out += QChar(*plain);
            continue;
        }
        const QString digits = inner.mid(i + 1, 2);
        bool ok = false;
        const uint code = digits.toUInt(&ok, 16);
        if (letter != u'x' || !ok || digits.size() != 2) {
            return std::nullopt;
        }
        out += QChar(static_cast<char16_t>(code));
        i += 2;
    }
    return out;
}

}  // namespace

QString IniDocument::encode_value(const QString& value) {
    bool needs_quotes = !value.isEmpty() && (is_blank(value.front()) || is_blank(value.back()) ||
                                             value.front() == QLatin1Char('"'));
    for (QChar c : value) {
        needs_quotes = needs_quotes || is_control(c);
    }
    if (!needs_quotes) {
        return value;
    }
    QString out = QStringLiteral("\"");
    for (QChar c : value) {
        if (const std::optional<char16_t> letter = escape_letter(c.unicode())) {
            out += QLatin1Char('\\');
            out += QChar(*letter);
        } else if (is_control(c)) {
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

QString IniDocument::decode_value(const QString& raw) {
    const QString text = trim_blanks(raw);
    if (text.size() >= 2 && text.front() == QLatin1Char('"') && text.back() == QLatin1Char('"')) {
        if (auto inner = unescape(text.mid(1, text.size() - 2))) {
            return *inner;
        }
    }
    return text;
}

QString IniDocument::fold(const QString& name) {
    QString folded = name;
    for (QChar& c : folded) {
        if (c.unicode() >= 'A' && c.unicode() <= 'Z') {
            c = QChar(static_cast<char16_t>(c.unicode() + ('a' - 'A')));
        }
    }
    return folded;
}

namespace {

// Splits the text into lines. LF ends a line; so does CR LF, and any run of CRs
// right before an LF (a file written twice through a text-mode conversion); a
// CR followed by anything else ends a line by itself. Line ends are not part
// of the lines, and the final line end gives no empty line after it.
std::vector<QByteArray> split_lines(const QByteArray& bytes) {
    std::vector<QByteArray> lines;
    const qsizetype size = bytes.size();
    qsizetype start = 0;
    qsizetype at = 0;
    while (at < size) {
        const char c = bytes[at];
        if (c != '\n' && c != '\r') {
            ++at;
            continue;
        }
        lines.push_back(bytes.mid(start, at - start));
        if (c == '\r') {
            qsizetype after_crs = at;
            while (after_crs < size && bytes[after_crs] == '\r') {
                ++after_crs;
            }
            at = after_crs < size && bytes[after_crs] == '\n' ? after_crs + 1 : at + 1;
        } else {
            at += 1;
        }
        start = at;
    }
    if (start < size) {
        lines.push_back(bytes.mid(start));
    }
    return lines;
}

bool is_blank_line(const QByteArray& line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
}

bool has_line_end(const QString& text) {
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

// What one line says: a section header, an entry, or neither (a comment, a
// blank line, text without "=").
struct LineMeaning {
    std::optional<QString> header;  // the name in a "[Name]" line
    QString key;                    // an entry's key; empty for any other line
    QString value;                  // an entry's decoded value
};

LineMeaning meaning_of(const QString& line) {
    const QString trimmed = trim_blanks(line);
    if (std::optional<QString> name = section_header(trimmed)) {
        return LineMeaning{std::move(name), QString(), QString()};
    }
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals < 0 || is_comment(trimmed)) {
        return LineMeaning{};
    }
    QString key = trim_blanks(line.left(equals));
    if (key.isEmpty()) {
        return LineMeaning{};
    }
    return LineMeaning{std::nullopt, std::move(key),
                       IniDocument::decode_value(line.mid(equals + 1))};
}

}  // namespace

void IniDocument::add_line(Block& block, Line line) {
    if (is_blank_line(line.bytes)) {
        block.tail.push_back(std::move(line));
        return;
    }
    // Blank lines followed by more text are inside the block, not after it.
    for (Line& blank : block.tail) {
        block.lines.push_back(std::move(blank));
    }
    block.tail.clear();
    block.lines.push_back(std::move(line));
}

IniDocument IniDocument::parse(const QByteArray& utf8) {
    IniDocument doc;
    doc.blocks_.emplace_back();
    // A byte-order mark may open the file, sometimes more than one (each tool
    // that found none of its own added one). All of them go: a mark left at
    // the start of the first line makes it read as something else ("[Config]"
    // as no header), and every save and read would drop one more.
    QByteArray bytes = utf8;
    qsizetype marks = 0;
    while (bytes.mid(marks, 3) == "\xEF\xBB\xBF") {
        marks += 3;
    }
    bytes.remove(0, marks);
    // The folded name of the section being read; the lines before the first
    // header belong to none.
    std::optional<QString> section;
    for (QByteArray& raw : split_lines(bytes)) {
        LineMeaning meaning = meaning_of(QString::fromUtf8(raw));
        if (meaning.header) {
            section = fold(*meaning.header);
            doc.sections_[*section].blocks.push_back(doc.blocks_.size());
            doc.blocks_.emplace_back();
            doc.add_line(doc.blocks_.back(), Line{std::move(raw), QString(), QString()});
            continue;
        }
        Block& block = doc.blocks_.back();
        const QString folded = fold(meaning.key);
        doc.add_line(block, Line{std::move(raw), std::move(meaning.key), std::move(meaning.value)});
        if (folded.isEmpty() || !section) {
            continue;
        }
        // Of a key written twice, the first occurrence counts.
        Section& s = doc.sections_[*section];
        if (!s.first.contains(folded)) {
            s.first.insert(folded, Place{doc.blocks_.size() - 1, block.lines.size() - 1});
        }
    }
    return doc;
}

QByteArray IniDocument::serialize() const {
    QByteArray out;
    for (const Block& block : blocks_) {
        for (const std::vector<Line>* part : {&block.lines, &block.tail}) {
            for (const Line& line : *part) {
                out += line.bytes;
                out += '\n';
            }
        }
    }
    return out;
}

const IniDocument::Section* IniDocument::section_of(const QString& name) const {
    const auto it = sections_.constFind(fold(name));
    return it == sections_.constEnd() ? nullptr : &*it;
}

IniDocument::Line* IniDocument::find_line(const QString& section, const QString& key) {
    const Section* s = section_of(section);
    if (s == nullptr) {
        return nullptr;
    }
    const auto it = s->first.constFind(fold(key));
    if (it == s->first.constEnd()) {
        return nullptr;
    }
    return &blocks_[it->block].lines[it->line];
}

bool IniDocument::has_section(const QString& section) const {
    return section_of(section) != nullptr;
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const {
    if (const Line* line = const_cast<IniDocument*>(this)->find_line(section, key)) {
        return line->value;
    }
    return std::nullopt;
}

QStringList IniDocument::keys(const QString& section) const {
    QStringList out;
    if (const Section* s = section_of(section)) {
        for (const std::size_t block : s->blocks) {
            for (const Line& line : blocks_[block].lines) {
                if (!line.key.isEmpty()) {
                    out << line.key;
                }
            }
        }
    }
    return out;
}

bool IniDocument::set_value(const QString& section, const QString& key, const QString& value) {
    // The line must read back as this key and value and as nothing else: a
    // key holding a line end or an "=" would change what other lines say.
    const QString text = key + QLatin1Char('=') + encode_value(value);
    const LineMeaning entry = meaning_of(text);
    if (has_line_end(text) || entry.header || entry.key != key || entry.value != value) {
        return false;
    }
    if (Line* line = find_line(section, key)) {
        line->bytes = text.toUtf8();
        line->value = value;
        return true;
    }
    const QString header = QLatin1Char('[') + section + QLatin1Char(']');
    const QString folded = fold(section);
    const auto known = sections_.constFind(folded);
    if (known == sections_.constEnd() &&
        (has_line_end(header) || meaning_of(header).header != section)) {
        return false;
    }
    if (blocks_.empty()) {
        blocks_.emplace_back();  // the lines before the first header
    }
    Section& s = sections_[folded];
    if (s.blocks.empty()) {
        s.blocks.push_back(blocks_.size());
        blocks_.emplace_back();
        add_line(blocks_.back(), Line{header.toUtf8(), QString(), QString()});
    }
    // A new key goes after the section's last entry (its first block's last
    // non-blank line), before the blank lines that end the block. Nothing
    // else moves, so every place already known stays right.
    Block& block = blocks_[s.blocks.front()];
    block.lines.push_back(Line{text.toUtf8(), key, value});
    s.first.insert(fold(key), Place{s.blocks.front(), block.lines.size() - 1});
    return true;
}

}  // namespace wm
