#pragma once
// The skin choice travels from the skin frame to every registered receiver
// (the main window) through one process-wide observer. Receivers are told in
// the order they registered. UI thread only.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace app {

struct SkinChangedParam {
  bool isColour = false;  // a colour skin, not an image
  uint32_t colour = 0;    // ARGB
  std::string image;      // image name of the skin, or a file path
};

template <typename ReturnT, typename ParamT>
class ReceiverImpl;

template <typename ReturnT, typename ParamT>
class ObserverImpl {
 public:
  using Receiver = ReceiverImpl<ReturnT, ParamT>;

  void AddReceiver(Receiver* receiver) {
    if (receiver && std::find(receivers_.begin(), receivers_.end(), receiver) == receivers_.end())
      receivers_.push_back(receiver);
  }
  void RemoveReceiver(Receiver* receiver) {
    receivers_.erase(std::remove(receivers_.begin(), receivers_.end(), receiver), receivers_.end());
  }
  // Tells every receiver, in registration order. A receiver that removes
  // itself (or another) while being told does not disturb the others.
  void Broadcast(const ParamT& param) {
    const std::vector<Receiver*> snapshot = receivers_;
    for (Receiver* r : snapshot)
      if (std::find(receivers_.begin(), receivers_.end(), r) != receivers_.end()) r->Receive(param);
  }
  size_t ReceiverCount() const { return receivers_.size(); }

 private:
  std::vector<Receiver*> receivers_;
};

template <typename ReturnT, typename ParamT>
class ReceiverImpl {
 public:
  virtual ~ReceiverImpl() = default;
  virtual ReturnT Receive(const ParamT& param) = 0;
};

using SkinObserver = ObserverImpl<int, SkinChangedParam>;
using SkinReceiver = ReceiverImpl<int, SkinChangedParam>;

// The one skin observer of the process.
SkinObserver& GetSkinObserver();

}  // namespace app
