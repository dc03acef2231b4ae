#pragma once

class QTextDocument;

// Puts the built-in tips page's texts (the store's ad.htm) into the interface language, each
// text in its place and look; the texts of a page of the maker's own stay as they are.
void translateTips(QTextDocument &page);
