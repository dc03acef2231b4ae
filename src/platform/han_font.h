#pragma once

class QString;

// Han characters in `family` wherever the program draws with the desktop's font: windows,
// printed pages, PDF files and pictures. A font names the faces it falls back on, so the
// choice reaches every font made from it; "" leaves Han characters to the desktop again.
void useHanFont(const QString &family);
