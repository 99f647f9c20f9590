#pragma once

#include "platform/Installed.h"

#include <QString>

class StringObMap;
class visibleobject;
struct ImportSettings;

// The choosers that document commands open. The document's dialog library implements it and the
// application installs it at start-up; tests install scripted editors. With none installed
// every chooser answers "none chosen".
class DocumentEditors
{
public:
    virtual ~DocumentEditors() = default;

    // The Format Object dialog over name -> page object; the chosen object, or null on Cancel
    // or when no line was chosen.
    virtual visibleobject* chooseObject(const StringObMap& objects) = 0;
    // Select Data Set over name -> trace; null as above.
    virtual visibleobject* chooseDataSet(const StringObMap& traces) = 0;
    // The import dialog on a data file, opened on the settings, which receive the choice; true
    // on OK. Without a dialog nothing is chosen.
    virtual bool importSettings(const QString& path, ImportSettings& settings)
    {
        (void)path;
        (void)settings;
        return false;
    }

    // The installed editors (not owned), or null.
    static DocumentEditors* instance() { return Installed<DocumentEditors>::get(); }
    static void setInstance(DocumentEditors* editors)
    {
        Installed<DocumentEditors>::install(editors);
    }
};
