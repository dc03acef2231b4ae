#pragma once

#include "book_feature/pack_labels.h"

#include <QPageSize>

#include <optional>
#include <vector>

class QWidget;

// A sheet of labels as the user asked for it.
struct LabelSheet {
    LabelLayout layout = LabelLayout::TwoBySix;
    QPageSize paper;
    bool printer = false; // else a PDF file
    std::vector<PackLabel> labels;
};

// Asks for the layout, the paper, PDF or printer and the packs among `packs` (all proposed);
// none when the user cancelled.
std::optional<LabelSheet> chooseLabels(QWidget *parent, const std::vector<PackLabel> &packs);
