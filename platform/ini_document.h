#pragma once
// A settings file in INI form: [Section] headers and key=value lines.
//
// Reading is forgiving: hand-written files with plain key=value lines read as
// written (commas, semicolons and quotes inside a value are part of it), a
// UTF-8 byte-order mark is accepted, section and key names match without
// regard to ASCII letter case. Line ends are read as a person reads them: LF,
// CR LF, a run of CRs before an LF (as a file copied twice through a text-mode
// transfer has them) and a lone CR each end one line. Writing keeps every line
// it does not change (comments, unknown keys, other sections) byte for byte in
// place, ends every line with LF, and quotes a value only when it must, so any
// text round-trips exactly and no change alters what another key reads as.
//
// Look-ups cost the same however many sections the file has: sections are
// indexed by their folded name, keys by theirs.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <optional>
#include <vector>

namespace wm {

class IniDocument {
  public:
    static IniDocument parse(const QByteArray& utf8);
    QByteArray serialize() const;

    std::optional<QString> value(const QString& section, const QString& key) const;
    // Replaces the value in place, or adds the key at the end of its section
    // (the section is added at the end of the document when missing). False,
    // with nothing changed, for a key or a new section name that would not
    // read back as itself (a line end or "=" in a key, a line end in a
    // section name, blanks around either).
    bool set_value(const QString& section, const QString& key, const QString& value);
    // The keys of a section, in file order (empty when the section is absent).
    QStringList keys(const QString& section) const;
    bool has_section(const QString& section) const;

    // How a value is written after "key=", and how such text is read back.
    static QString encode_value(const QString& value);
    static QString decode_value(const QString& raw);

  private:
    struct Line {
        QByteArray bytes;  // the line as read or as it will be written, without its end
        QString key;       // empty unless the line is an entry
        QString value;     // decoded value of an entry
    };
    // One run of lines under one header (block 0: the lines before the first).
    struct Block {
        std::vector<Line> lines;  // the header, then everything up to the last non-blank line
        std::vector<Line> tail;   // the blank lines after it; new keys go before them
    };
    struct Place {
        std::size_t block;
        std::size_t line;
    };
    // Every block of one section name, and where each of its keys first stands.
    struct Section {
        std::vector<std::size_t> blocks;  // in file order
        QHash<QString, Place> first;      // folded key -> its first occurrence
    };

    const Section* section_of(const QString& name) const;
    Line* find_line(const QString& section, const QString& key);
    void add_line(Block& block, Line line);
    static QString fold(const QString& name);

    std::vector<Block> blocks_;
    QHash<QString, Section> sections_;  // folded name -> its blocks
};

}  // namespace wm
