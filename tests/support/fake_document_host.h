#pragma once

#include "document/document_host.h"
#include "platform/core/background.h"
#include "run/run_hub.h"
#include "support/fake_clock.h"
#include "support/recording_output.h"
#include "support/scripted_dialogs.h"

#include <QStringList>

// A main window as a chart window sees it, recording what the window asks of it.
class FakeDocumentHost final : public DocumentHost {
public:
    FakeClock fakeClock;
    ScriptedDialogs scripted;
    RecordingClipboard recordingClipboard;
    RecordingPrinter recordingPrinter;
    QStringList messages;
    QList<ChannelReading> shown;
    int cascades = 0;
    ViewState view;
    Background work;
    RunHub hub;

    void State_add(const QString &str1) override { messages << str1; }
    void followRun(const Run &) override { }
    ViewState &viewState() override { return view; }
    void ShowReading(const ChannelReading &reading) override { shown << reading; }
    void setSeriesLamp(int, bool) override { }
    void cascade() override { ++cascades; }
    bool closingAll() const override { return false; }
    const Clock &clock() const override { return fakeClock; }
    Dialogs &dialogs() override { return scripted; }
    Clipboard &clipboard() override { return recordingClipboard; }
    Printer &printer() override { return recordingPrinter; }
    Background &background() override { return work; }
    RunHub &runHub() override { return hub; }
    QString packName(const QString &id) const override { return id == "P0007" ? "Pack A" : ""; }
};
