#pragma once

class QMimeData;

// The desktop's clipboard, so commands that copy can be tested without a desktop.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    // Replaces the clipboard's contents; takes ownership of `data`.
    virtual void setMimeData(QMimeData *data) = 0;
};

class QtClipboard final : public Clipboard {
public:
    void setMimeData(QMimeData *data) override;
};
