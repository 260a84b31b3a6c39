#pragma once
// Reading the host's command line: the mode switch and the window number.

#include <QString>
#include <QStringList>

#include <cstdint>

namespace wm {

enum class Mode { Configuration, Saver, Preview, ChangePassword, PackBuilder, Unknown };

// The command-line text: the arguments after the program's name, joined by
// single blanks (the form in which a screen-saver host passes them).
QString command_line_text(const QStringList& arguments_after_program);

// The first two characters, upper-cased; "/C" for an empty command line.
QString switch_text(const QString& command_line);

// The mode a switch selects ("/C", "/S", "/P", "/A", "/M"; anything else is Unknown).
Mode mode_of_switch(const QString& switch_text);

// The window number after the switch: the text from the third character on,
// read as a decimal number with blanks, tabs and line feeds skipped wherever
// they stand, up to the first character that cannot continue the number,
// rounded half to even. Empty or non-numeric text, and a number outside the
// 32-bit range, give 0.
std::int32_t parse_host_window(const QString& command_line);

}  // namespace wm
