#pragma once

class QCoreApplication;

// Installs the Chinese catalogues (the program's own and Qt's standard
// buttons) when the interface language is Chinese; English needs none.
// Returns false when the program's own catalogue could not be loaded.
bool installUiCatalogue(QCoreApplication& app);
// Takes the catalogues installUiCatalogue installed out again.
void removeUiCatalogue(QCoreApplication& app);

// Stands the Windows font names the windows ask for ("楷体", "宋体", "Arial")
// in for installed fonts of the same kind; Song's Latin letters come from a
// clear serif face, its Chinese characters from the CJK face.
void installFontSubstitutions();
