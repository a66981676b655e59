#include "ConverterWatch.h"

#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/MltConverter.h"

namespace vortrel {

// The platform's converter, every call passed on, known to the watch for as long as it lives.
class ConverterWatch::Watched final : public IConverter {
  public:
    Watched(ConverterWatch& watch, const MltCatalog& catalog) : watch_(watch), inner_(catalog) {
        watch_.converter_ = this;
    }
    ~Watched() override {
        if (watch_.converter_ == this) {
            watch_.converter_ = nullptr;
        }
    }
    Watched(const Watched&) = delete;
    Watched& operator=(const Watched&) = delete;

    bool Start(const EditTimeline& timeline, const ConversionRequest& request) override {
        return inner_.Start(timeline, request);
    }
    bool IsConnected() const override { return inner_.IsConnected(); }
    bool GetProgress(int64_t& current, int64_t& duration) override {
        return inner_.GetProgress(current, duration);
    }
    bool IsComplete() override { return inner_.IsComplete(); }
    bool HasFailed() override { return inner_.HasFailed(); }
    void Stop() override { inner_.Stop(); }
    void Reset() override { inner_.Reset(); }

    const std::string& LastError() const { return inner_.LastError(); }

  private:
    ConverterWatch& watch_;
    MltConverter inner_;
};

ConverterWatch::ConverterWatch() {
    const LinuxPlatform& platform = InstallLinuxPlatform();
    const MltCatalog* catalog = platform.catalog;
    ConverterFactory::Set([this, catalog] { return std::make_unique<Watched>(*this, *catalog); });
}

ConverterWatch::~ConverterWatch() {
    ConverterFactory::Set(InstallLinuxPlatform().converter);
}

bool ConverterWatch::Ended() {
    // Both calls only look at the conversion until its consumer has stopped; the first
    // call after that closes it, as the control's next tick would.
    return converter_ != nullptr && converter_->IsConnected() &&
           (converter_->IsComplete() || converter_->HasFailed());
}

std::string ConverterWatch::LastError() const {
    return converter_ != nullptr ? converter_->LastError() : std::string();
}

}  // namespace vortrel
