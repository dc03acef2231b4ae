#pragma once

#include "document/imdi_document.h"

#include <QMdiSubWindow>
#include <QPointer>

#include <functional>

// Makes a new chart window in the main window's MDI area.
using DocumentFactory = std::function<IMDIDocument *()>;

// A chart window the shell refers to; empty once the window is gone.
class DocRef {
public:
    DocRef &operator=(IMDIDocument *doc)
    {
        window_ = doc ? doc->window() : nullptr;
        return *this;
    }
    IMDIDocument *get() const { return dynamic_cast<IMDIDocument *>(window_.data()); }
    IMDIDocument *operator->() const { return get(); }
    explicit operator bool() const { return get() != nullptr; }
    void clear() { window_.clear(); }

private:
    QPointer<QMdiSubWindow> window_;
};
