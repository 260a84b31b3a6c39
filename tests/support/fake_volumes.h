#pragma once
// A drive list of the test's own choosing for the browsing windows.

#include "config_ui/folder_listing.h"

#include <vector>

namespace wm::test {

class FakeVolumes : public VolumeSource {
  public:
    FakeVolumes() = default;
    explicit FakeVolumes(std::vector<Volume> list) : list_(std::move(list)) {}
    std::vector<Volume> volumes() const override { return list_; }
    void set(std::vector<Volume> list) { list_ = std::move(list); }

  private:
    std::vector<Volume> list_;
};

}  // namespace wm::test
