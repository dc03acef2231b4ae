#pragma once

#include "book/book.h"

#include <QDialog>

class QCheckBox;
class QDateEdit;
class QDoubleSpinBox;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

// What the book keeps of one pack, for the user to fill in: the ID stays, the rest is theirs.
class PackDetailsDialog final : public QDialog {
    Q_OBJECT
public:
    PackDetailsDialog(const PackDetails &details, QWidget *parent);
    PackDetails details() const;

private:
    PackDetails details_;
    QLineEdit *name_, *chemistry_, *maker_;
    QSpinBox *cells_;
    QDoubleSpinBox *rated_;
    QDateEdit *bought_;
    QPlainTextEdit *notes_;
    QCheckBox *retired_;
};
