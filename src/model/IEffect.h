#pragma once

#include <memory>
#include <string>

#include "model/IContent.h"

namespace vortrel {

// A content that acts on the picture over its span: a transition or a video effect, known
// by the friendly name of the engine's service and an optional parameter text of
// name=value items.
class IEffect : public IContent {
  public:
    explicit IEffect(std::shared_ptr<DesTransition> desTransition);
    explicit IEffect(std::shared_ptr<DesEffect> desEffect);
    ~IEffect() override;

    /// The friendly name (kept where a clip keeps its source, set the same way).
    const std::wstring& GetSource() const { return name_; }
    /// Sets the friendly name, unchanged.
    void SetSource(std::wstring name) { name_ = std::move(name); }

    /// The parameter text, free of white space.
    const std::wstring& GetParams() const { return params_; }
    /// Stores the parameter text with every white-space character removed.
    void SetParams(const std::wstring& params);

  protected:
    /// Reads Name, Start and Stop.
    bool ReadNameAndTimes(const tinyxml2::XMLElement& element);
    /// Reads Params, which must be there but may be empty.
    bool ReadParams(const tinyxml2::XMLElement& element);
    /// Writes Name, Start and Stop.
    void WriteNameAndTimes(tinyxml2::XMLDocument& document, tinyxml2::XMLElement& element) const;

  private:
    std::wstring name_;
    std::wstring params_;
};

/// True for the characters that count as white space in a parameter text: the Unicode
/// White_Space set, the same in every build and every locale.
bool IsWideSpace(wchar_t c);

}  // namespace vortrel
