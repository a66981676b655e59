#pragma once

#include <memory>
#include <string>

#include "ports/IConverter.h"

namespace vortrel {

class MltConverter;

// Watches the conversions of the controls made while it lives: it gives them the platform's
// own converter through a thin wrapper, so that their host learns as soon as a conversion
// has ended (the control's tick reports it only at its next second) and why the last one
// could not start.
class ConverterWatch {
  public:
    /// Installs the watched converters as the process's.
    ConverterWatch();
    /// Puts the platform's own converters back.
    ~ConverterWatch();
    ConverterWatch(const ConverterWatch&) = delete;
    ConverterWatch& operator=(const ConverterWatch&) = delete;

    /// Whether the watched conversion has ended, written or failed; false while none runs.
    bool Ended();
    /// Why the last conversion could not start, or ended without its file; empty when it
    /// did not fail or no converter is watched.
    std::string LastError() const;

  private:
    class Watched;
    friend class Watched;

    Watched* converter_ = nullptr;  // the latest made, while it lives
};

}  // namespace vortrel
