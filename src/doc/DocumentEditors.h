#pragma once

#include "platform/Installed.h"

class StringObMap;
class visibleobject;

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

    // The installed editors (not owned), or null.
    static DocumentEditors* instance() { return Installed<DocumentEditors>::get(); }
    static void setInstance(DocumentEditors* editors)
    {
        Installed<DocumentEditors>::install(editors);
    }
};
