#pragma once
// A settings file in INI form: [Section] headers and key=value lines.
//
// Reading is forgiving: hand-written files with plain key=value lines read as
// written (commas, semicolons and quotes inside a value are part of it), CR LF
// and LF line ends and a UTF-8 byte-order mark are accepted, section and key
// names match without regard to ASCII letter case. Writing keeps every line
// it does not change (comments, unknown keys, other sections) in place and
// quotes a value only when it must, so any text round-trips exactly.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace wm {

class IniDocument {
  public:
    static IniDocument parse(const QByteArray& utf8);
    QByteArray serialize() const;

    std::optional<QString> value(const QString& section, const QString& key) const;
    // Replaces the value in place, or adds the key at the end of its section
    // (the section is added at the end of the document when missing).
    void set_value(const QString& section, const QString& key, const QString& value);
    // The keys of a section, in file order (empty when the section is absent).
    QStringList keys(const QString& section) const;
    bool has_section(const QString& section) const;

    // How a value is written after "key=", and how such text is read back.
    static QString encode_value(const QString& value);
    static QString decode_value(const QString& raw);

  private:
    struct Line {
        QString text;   // the line as read or as it will be written
        QString key;    // empty unless the line is an entry
        QString value;  // decoded value of an entry
    };
    struct Section {
        QString name;  // empty for the lines before the first header
        std::vector<Line> lines;
        QHash<QString, int> index;  // folded key -> first line holding it
    };

    std::vector<Section*> blocks_of(const QString& name);
    std::vector<const Section*> blocks_of(const QString& name) const;
    Line* find_line(const QString& section, const QString& key);
    static QString fold(const QString& name);

    std::vector<Section> sections_;
};

}  // namespace wm
