#pragma once

#include "doc/DocumentEditors.h"

class QWidget;

// The document's choosers as modal dialogs over the program's active window. The application
// installs one at start-up (DocumentEditors::setInstance).
class DocumentDialogs : public DocumentEditors
{
public:
    visibleobject* chooseObject(const StringObMap& objects) override;
    visibleobject* chooseDataSet(const StringObMap& traces) override;
    bool importSettings(const QString& path, ImportSettings& settings) override;
};
