#include "platform/ini_document.h"

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

IniDocument IniDocument::parse(const QByteArray& utf8) {
    IniDocument doc;
    doc.sections_.push_back(Section{});
    QString text = QString::fromUtf8(utf8);
    if (text.startsWith(QChar(0xfeff))) {
        text.remove(0, 1);
    }
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.back().isEmpty()) {
        lines.pop_back();  // the file's final line end
    }
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
        const QString trimmed = trim_blanks(line);
        if (const std::optional<QString> name = section_header(trimmed)) {
            Section section;
            section.name = *name;
            section.lines.push_back(Line{line, QString(), QString()});
            doc.sections_.push_back(std::move(section));
            continue;
        }
        Section& section = doc.sections_.back();
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0 || is_comment(trimmed)) {
            section.lines.push_back(Line{line, QString(), QString()});
            continue;
        }
        const QString key = trim_blanks(line.left(equals));
        if (key.isEmpty()) {
            section.lines.push_back(Line{line, QString(), QString()});
            continue;
        }
        section.lines.push_back(Line{line, key, decode_value(line.mid(equals + 1))});
    }
    // Of a key written twice, the first occurrence counts.
    for (Section& section : doc.sections_) {
        for (int i = 0; i < static_cast<int>(section.lines.size()); ++i) {
            const Line& l = section.lines[static_cast<size_t>(i)];
            if (!l.key.isEmpty() && !section.index.contains(fold(l.key))) {
                section.index.insert(fold(l.key), i);
            }
        }
    }
    return doc;
}

QByteArray IniDocument::serialize() const {
    QString out;
    for (const Section& section : sections_) {
        for (const Line& line : section.lines) {
            out += line.text;
            out += QLatin1Char('\n');
        }
    }
    return out.toUtf8();
}

// A section may stand in the file more than once; its keys are those of all
// its blocks, the first occurrence of a key counting.
std::vector<IniDocument::Section*> IniDocument::blocks_of(const QString& name) {
    std::vector<Section*> blocks;
    const QString folded = fold(name);
    for (size_t i = 1; i < sections_.size(); ++i) {
        if (fold(sections_[i].name) == folded) {
            blocks.push_back(&sections_[i]);
        }
    }
    return blocks;
}

std::vector<const IniDocument::Section*> IniDocument::blocks_of(const QString& name) const {
    const std::vector<Section*> blocks = const_cast<IniDocument*>(this)->blocks_of(name);
    return std::vector<const Section*>(blocks.begin(), blocks.end());
}

IniDocument::Line* IniDocument::find_line(const QString& section, const QString& key) {
    const QString folded = fold(key);
    for (Section* block : blocks_of(section)) {
        const auto it = block->index.constFind(folded);
        if (it != block->index.constEnd()) {
            return &block->lines[static_cast<size_t>(*it)];
        }
    }
    return nullptr;
}

bool IniDocument::has_section(const QString& section) const {
    return !blocks_of(section).empty();
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const {
    if (const Line* line = const_cast<IniDocument*>(this)->find_line(section, key)) {
        return line->value;
    }
    return std::nullopt;
}

QStringList IniDocument::keys(const QString& section) const {
    QStringList out;
    for (const Section* block : blocks_of(section)) {
        for (const Line& line : block->lines) {
            if (!line.key.isEmpty()) {
                out << line.key;
            }
        }
    }
    return out;
}

void IniDocument::set_value(const QString& section, const QString& key, const QString& value) {
    if (sections_.empty()) {
        sections_.push_back(Section{});
    }
    const QString text = key + QLatin1Char('=') + encode_value(value);
    if (Line* line = find_line(section, key)) {
        line->text = text;
        line->value = value;
        return;
    }
    const std::vector<Section*> blocks = blocks_of(section);
    Section* s = blocks.empty() ? nullptr : blocks.front();
    if (s == nullptr) {
        Section added;
        added.name = section;
        added.lines.push_back(
            Line{QLatin1Char('[') + section + QLatin1Char(']'), QString(), QString()});
        sections_.push_back(std::move(added));
        s = &sections_.back();
    }
    // New keys go after the section's last entry, before any trailing blank lines.
    auto insert_at = s->lines.size();
    while (insert_at > 1 && trim_blanks(s->lines[insert_at - 1].text).isEmpty()) {
        --insert_at;
    }
    s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(insert_at),
                    Line{text, key, value});
    for (int& position : s->index) {
        if (position >= static_cast<int>(insert_at)) {
            ++position;
        }
    }
    s->index.insert(fold(key), static_cast<int>(insert_at));
}

}  // namespace wm
