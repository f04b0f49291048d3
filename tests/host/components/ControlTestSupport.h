#pragma once

#include "host/components/controls/Application.h"
#include "host/components/controls/Peer.h"

#include <string>
#include <vector>

namespace vorn::testing {

// A peer that writes every notification it gets into a log.
class TRecordingPeer : public TControlPeer {
public:
    explicit TRecordingPeer(std::vector<std::string>& Log) : FLog(Log) {}

    void BoundsChanged() override { FLog.push_back("bounds"); }
    void VisibleChanged() override { FLog.push_back("visible"); }
    void EnabledChanged() override { FLog.push_back("enabled"); }
    void TextChanged() override { FLog.push_back("text"); }
    void AppearanceChanged() override { FLog.push_back("appearance"); }
    void ParentChanged() override { FLog.push_back("parent"); }
    void FocusChanged() override { FLog.push_back("focus"); }
    void Invalidate() override { FLog.push_back("invalidate"); }
    void AccessibilityChanged() override { FLog.push_back("accessibility"); }
    void ItemsChanged() override { FLog.push_back("items"); }
    void ItemIndexChanged() override { FLog.push_back("itemindex"); }
    void DroppedDownChanged() override { FLog.push_back("droppeddown"); }
    void CellChanged(int Col, int Row) override {
        FLog.push_back("cell " + std::to_string(Col) + "," + std::to_string(Row));
    }
    void GridLayoutChanged() override { FLog.push_back("layout"); }

private:
    std::vector<std::string>& FLog;
};

// Collects the messages handed to the application error handler while it lives.
class TErrorCapture {
public:
    TErrorCapture()
        : FPrevious(SetApplicationErrorHandler(
              [this](const std::exception& Error) { Messages.push_back(Error.what()); })) {}
    ~TErrorCapture() { SetApplicationErrorHandler(FPrevious); }
    TErrorCapture(const TErrorCapture&) = delete;
    TErrorCapture& operator=(const TErrorCapture&) = delete;

    std::vector<std::string> Messages;

private:
    TApplicationErrorHandler FPrevious;
};

} // namespace vorn::testing
