#pragma once

#include <functional>

class QPageSize;
class QPrinter;
class QWidget;

// Printing through a preview, so commands that print can be tested without a printer.
class Printer {
public:
    virtual ~Printer() = default;
    // Shows a preview of the page that `paint` draws, with margins of `marginPercent` of the
    // page on every side; printing (or a PDF file) starts from the preview.
    virtual void preview(double marginPercent, const std::function<void(QPrinter &)> &paint) = 0;
    // Asks for a printer, `paper` proposed, and prints the pages `paint` draws.
    virtual void print(const QPageSize &paper, const std::function<void(QPrinter &)> &paint) = 0;
};

class QtPrinter final : public Printer {
public:
    // The window the preview stands over, once it exists.
    void setParent(QWidget *parent) { parent_ = parent; }
    void preview(double marginPercent, const std::function<void(QPrinter &)> &paint) override;
    void print(const QPageSize &paper, const std::function<void(QPrinter &)> &paint) override;

private:
    QWidget *parent_ = nullptr;
};
