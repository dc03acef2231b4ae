#pragma once

class QPrinter;
class QString;

// Qt's PDF writer tells a reader which character each glyph stands for by the lowest code
// point that the font gives that glyph, and a CJK font shares its glyphs between a radical
// and the ideograph it is (一 and ⼀, 長 and ⻑): searching or copying Chinese text out of the
// file finds radicals. This rewrites the text maps of the PDF file at `path` to give the
// ideographs. A file not as Qt's writer makes it, or one that cannot be rewritten, stays
// exactly as it was; false then.
bool mendPdfText(const QString &path);
// The same for the PDF file that `printer` has just finished, when it wrote one.
void mendPdfText(const QPrinter &printer);
