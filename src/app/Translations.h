#pragma once

class QCoreApplication;

// Installs the Chinese catalogues (the program's own and Qt's standard
// buttons) when the interface language is Chinese; English needs none.
// Returns false when the program's own catalogue could not be loaded.
bool installUiCatalogue(QCoreApplication& app);
// Takes the catalogues installUiCatalogue installed out again.
void removeUiCatalogue(QCoreApplication& app);
