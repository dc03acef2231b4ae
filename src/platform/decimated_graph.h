#pragma once

#include "platform/envelope.h"

#include <qcustomplot.h>

// A graph that keeps its samples and their envelope, and hands the plot only the points its
// view and width need (Envelope::drawn): drawing costs the plot's pixel columns whatever the
// number of samples, and each column still spans its samples' least and greatest value. The
// points are made again when the view, the width or the samples change.
class DecimatedGraph : public QCPGraph {
public:
    DecimatedGraph(QCPAxis *keyAxis, QCPAxis *valueAxis);

    // Whether the drawing changes: a sample that changes no pixel leaves the points as they
    // are, drawn for the samples before it.
    bool append(double x, double y);
    void breakLine();
    void assign(std::vector<double> x, std::vector<double> y);
    void clear();
    const Envelope &samples() const { return samples_; }

    QCPRange getKeyRange(bool &foundRange, QCP::SignDomain inSignDomain) const override;
    QCPRange getValueRange(bool &foundRange, QCP::SignDomain inSignDomain,
                           const QCPRange &inKeyRange) const override;

protected:
    void draw(QCPPainter *painter) override;

private:
    Envelope samples_;
    // What the plot's points were made for.
    QCPRange view_;
    QRect rect_;
    bool stale_ = true;
};
