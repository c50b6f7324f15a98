#pragma once
// Qt's own texts (the text fields' context menus, the standard buttons and
// dialogs, the command line's errors) in the user's language.

class QCoreApplication;
class QTranslator;

// Loads Qt's translation for the default locale (qtbase_<language> from Qt's
// translations folder) and installs it in app, which owns it. Returns it, or
// nullptr when Qt has none for the locale (C, or a language without one):
// Qt's texts then stay in English. Called by every program right after its
// application object is made.
QTranslator* InstallQtTranslation(QCoreApplication& app);
