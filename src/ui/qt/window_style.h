#pragma once
// What the program's windows share: their font, the way texts with Windows line
// ends become widget texts, and the program's icon.

#include <QFont>
#include <QIcon>
#include <QString>
#include <string_view>

namespace quillet::qt {

// The desktop's font, in the size the user chose for it.
QFont WindowFont();
// The font the window models' measures were made for: 11 pixels, lines 13 pixels
// high in labels of 195 twips.
inline constexpr int kDesignFontPixels = 11;

// UTF-8 text whose lines end in CR LF, CR or LF, as a widget shows it.
QString WidgetText(std::string_view text);

// The program's icon, drawn rather than loaded so that no file has to be found.
QIcon ProgramIcon();

}  // namespace quillet::qt
