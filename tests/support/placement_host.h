// A window system without windows: a placement host that keeps what it is
// told, for tests of the settings that need no display.
#ifndef SKELVANE_TESTS_SUPPORT_PLACEMENT_HOST_H
#define SKELVANE_TESTS_SUPPORT_PLACEMENT_HOST_H

#include <vector>

#include "app/form_storage.h"

namespace skelvane::testing {

class TFakePlacementHost : public TPlacementHost {
 public:
  TWindowPlacement placement{0, kShowNormal, {-1, -1}, {-1, -1}, {162, 109, 162 + 844, 109 + 594}};
  bool visible = false;
  bool resizable = true;
  int screenWidth = 1920;
  int screenHeight = 1080;
  int pixelsPerInch = 96;
  bool applicationMinimized = false;
  TWindowState state = TWindowState::Normal;
  std::vector<TWindowPlacement> applied;  // every SetPlacement, in order
  int minimizeCalls = 0;

  TWindowPlacement GetPlacement() const override { return placement; }
  void SetPlacement(const TWindowPlacement& p) override {
    applied.push_back(p);
    placement = p;
  }
  bool Visible() const override { return visible; }
  bool Resizable() const override { return resizable; }
  TRect Bounds() const override { return placement.NormalPosition; }
  int ScreenWidth() const override { return screenWidth; }
  int ScreenHeight() const override { return screenHeight; }
  int PixelsPerInch() const override { return pixelsPerInch; }
  bool ApplicationMinimized() const override { return applicationMinimized; }
  void SetWindowState(TWindowState s) override { state = s; }
  void MinimizeApplication() override {
    ++minimizeCalls;
    applicationMinimized = true;
  }
};

}  // namespace skelvane::testing

#endif
