#pragma once
// Control identifiers of the setup form, so that tools and tests can find each control.

namespace velmora {

enum SetupFormControlId : int {
  kBrandImageId = 101,
  kTitleLabelId = 102,
  kPreLicenceLabelId = 103,
  kLicenceRichEditId = 104,
  kLicenceCheckBoxId = 105,
  kBottomPanelId = 106,
  kCancelBitBtnId = 107,
  kNextBitBtnId = 108,
  kAdvancedGroupBoxId = 109,
  kDesktopIconCheckBoxId = 110,
  kRunCheckBoxId = 111,
  kPathLabeledEditId = 112,
  kPathEditLabelId = 113,
  kPathBitBtnId = 114,
};

// Window class of the form itself.
inline constexpr char kSetupFormClass[] = "TSetupForm";

}  // namespace velmora
