// The paths by which the wizard finds its controls in the interface
// description, in one place for the main window, the filter page and the test
// that checks the packed description against them. A path names elements by
// their tags, as xml_find reads it.
#pragma once

namespace dirscribe::control_paths {

// The main form, from the description's document root.
inline constexpr const char* kMainForm = "/TvostraDSC";
// The filter panel, which the window moves into a document of its own.
inline constexpr const char* kFilterPanel = "/TvostraDSC/main/pFilter";

// The main window's controls, relative to the main form.
inline constexpr const char* kTabs = "main";
inline constexpr const char* kStylePage = "main/pStyle";
inline constexpr const char* kSourcePage = "main/pSource";
inline constexpr const char* kOptionsPage = "main/pOptions";
inline constexpr const char* kBuildPage = "main/pBuild";
inline constexpr const char* kHeader = "main/pTop";
inline constexpr const char* kNavigation = "pBottom";
inline constexpr const char* kHelp = "pBottom/bHelp";
inline constexpr const char* kPrevious = "pBottom/bPrev";
inline constexpr const char* kNext = "pBottom/bNext";
inline constexpr const char* kStyles = "main/pStyle/pLeft/styleLB";
inline constexpr const char* kStyleName = "main/pStyle/p/pStyleH";
inline constexpr const char* kStyleImage = "main/pStyle/p/imPanel/styleIm";
inline constexpr const char* kStyleDescription = "main/pStyle/p/comGb/styleL";
inline constexpr const char* kEdit = "main/pStyle/pLeft/pTool/bEdit";
inline constexpr const char* kCopy = "main/pStyle/pLeft/pTool/bCopy";
inline constexpr const char* kRename = "main/pStyle/pLeft/pTool/bRename";
inline constexpr const char* kImage = "main/pStyle/pLeft/pTool/bImage";
inline constexpr const char* kDescribe = "main/pStyle/pLeft/pTool/bDescription";
inline constexpr const char* kSource = "main/pSource/gbSrc/eSrc";
inline constexpr const char* kBrowse = "main/pSource/gbSrc/bSrc";
inline constexpr const char* kRecursion = "main/pSource/gbRec/cbRec";
inline constexpr const char* kSingleFile = "main/pSource/gbRec/gbSingleFile/recSingle";
inline constexpr const char* kFilePerFolder = "main/pSource/gbRec/gbSingleFile/recMultiple";
inline constexpr const char* kOutput = "main/pSource/gbDest/eDest";
inline constexpr const char* kChooseOutput = "main/pSource/gbDest/bDest";
inline constexpr const char* kSort = "main/pOptions/gbSort/cSort";
inline constexpr const char* kAscending = "main/pOptions/gbSort/bAsc";
inline constexpr const char* kDescending = "main/pOptions/gbSort/bDesc";
inline constexpr const char* kShowFolders = "main/pOptions/gbOther/cbShowFolders";
inline constexpr const char* kShowFiles = "main/pOptions/gbOther/cbShowFiles";
inline constexpr const char* kDiskSpace = "main/pOptions/gbOther/cbDiskSpace";
inline constexpr const char* kRecursiveSizes = "main/pOptions/gbOther/cbRecurSize";
inline constexpr const char* kLeaveOutEmpty = "main/pOptions/gbOther/cbSupprEmpty";
inline constexpr const char* kFoldersAfterLevel = "main/pOptions/gbOther/cbRecurEnd";
inline constexpr const char* kShowSummary = "main/pOptions/gbOther/cbShowSummary";
inline constexpr const char* kUrlEscape = "main/pOptions/gbOther/cURLEnc";
inline constexpr const char* kSizeUnits = "main/pOptions/gbOther/cSizeUnits";
inline constexpr const char* kFileTypes = "main/pOptions/gbOther/cWinFileTypes";
inline constexpr const char* kDateMode = "main/pOptions/gbDateFormat/cDateFormat";
inline constexpr const char* kDateFormat = "main/pOptions/gbDateFormat/eDateFormat";
inline constexpr const char* kTryDate = "main/pOptions/gbDateFormat/bDateFormat";
inline constexpr const char* kUtc = "main/pOptions/gbDateFormat/cbGMT";
inline constexpr const char* kDateResult = "main/pOptions/gbDateFormat/lDateFormat";
inline constexpr const char* kLocalIcons = "main/pOptions/gbIcons/cbLocalIcons";
inline constexpr const char* kIconFolder = "main/pOptions/gbIcons/eIconPath";
inline constexpr const char* kLinkBase = "main/pOptions/gbPublish/eLinkBase";
inline constexpr const char* kOutputDir = "main/pOptions/gbPublish/eOutputDir";
inline constexpr const char* kBrowseOutputDir = "main/pOptions/gbPublish/bOutputDir";
inline constexpr const char* kOverwrite = "main/pOptions/gbPublish/cbOverwrite";
inline constexpr const char* kListingTitle = "main/pOptions/gbPublish/eTitle";
inline constexpr const char* kThumbnails = "main/pOptions/gbIcons/cbThumbnails";
inline constexpr const char* kNewButton = "pTop/bNew";
inline constexpr const char* kOpenButton = "pTop/bOpen";
inline constexpr const char* kSaveButton = "pTop/bSave";
inline constexpr const char* kMakeButton = "pTop/bMake";
inline constexpr const char* kStopButton = "pTop/bStop";
inline constexpr const char* kPreviewButton = "pTop/bPreview";
inline constexpr const char* kMakePageButton = "main/pBuild/gbButtons/bMake1";
inline constexpr const char* kStopPageButton = "main/pBuild/gbButtons/bStop1";
inline constexpr const char* kPreviewPageButton = "main/pBuild/gbButtons/bPreview1";
inline constexpr const char* kStatus = "main/pBuild/gbInfo/lInfo";
inline constexpr const char* kProgress = "main/pBuild/gbInfo/pbBuild";
inline constexpr const char* kDoneRow = "main/pBuild/gbInfo/pDone";
inline constexpr const char* kWrittenFile = "main/pBuild/gbInfo/pDone/lWritten";
inline constexpr const char* kOpenListing = "main/pBuild/gbInfo/pDone/bOpenListing";
inline constexpr const char* kShowFolder = "main/pBuild/gbInfo/pDone/bShowFolder";

// The filter page's controls, absolute in the filter panel's own document.
inline constexpr const char* kFilterPage = "/pFilter";
inline constexpr const char* kFilesGroup = "/pFilter/gbFile";
inline constexpr const char* kFilesIncludeLabel = "/pFilter/gbFile/l1";
inline constexpr const char* kFilesInclude = "/pFilter/gbFile/eIncFile";
inline constexpr const char* kFilesSkip = "/pFilter/gbFile/eSkipFile";
inline constexpr const char* kFilesSkipLabel = "/pFilter/gbFile/l2";
inline constexpr const char* kFoldersGroup = "/pFilter/gbFolder";
inline constexpr const char* kFoldersIncludeLabel = "/pFilter/gbFolder/l1";
inline constexpr const char* kFoldersSkipLabel = "/pFilter/gbFolder/l2";
inline constexpr const char* kFoldersInclude = "/pFilter/gbFolder/eIncFold";
inline constexpr const char* kFoldersSkip = "/pFilter/gbFolder/eSkipFold";
inline constexpr const char* kTimeGroup = "/pFilter/gbTime";
inline constexpr const char* kTimeMode = "/pFilter/gbTime/cTime";
inline constexpr const char* kTimeLabel = "/pFilter/gbTime/timeL1";
inline constexpr const char* kStartDate = "/pFilter/gbTime/timeDT1";
inline constexpr const char* kStartTime = "/pFilter/gbTime/timeDT2";
inline constexpr const char* kTimeAndLabel = "/pFilter/gbTime/timeL2";
inline constexpr const char* kEndDate = "/pFilter/gbTime/timeDT3";
inline constexpr const char* kEndTime = "/pFilter/gbTime/timeDT4";
inline constexpr const char* kLastLabel = "/pFilter/gbTime/timeL3";
inline constexpr const char* kLastCount = "/pFilter/gbTime/eTimeInt";
inline constexpr const char* kLastUnit = "/pFilter/gbTime/cTimeInt";
inline constexpr const char* kNowButton = "/pFilter/gbTime/bSetCurTime";
inline constexpr const char* kSizeGroup = "/pFilter/gbSize";
inline constexpr const char* kSizeMode = "/pFilter/gbSize/cSize";
inline constexpr const char* kSizeLabel = "/pFilter/gbSize/sizeL1";
inline constexpr const char* kSizeAndLabel = "/pFilter/gbSize/sizeL2";
inline constexpr const char* kSizeStart = "/pFilter/gbSize/eSizeStart";
inline constexpr const char* kSizeEnd = "/pFilter/gbSize/eSizeEnd";
inline constexpr const char* kAttributeGroup = "/pFilter/gbAttr";
inline constexpr const char* kIncludeExclude = "/pFilter/gbAttr/gbIE";
inline constexpr const char* kAllAny = "/pFilter/gbAttr/gbAO";
inline constexpr const char* kAttributeSwitch = "/pFilter/gbAttr/cbAttr";
inline constexpr const char* kInclude = "/pFilter/gbAttr/gbIE/attrI1";
inline constexpr const char* kExclude = "/pFilter/gbAttr/gbIE/attrI2";
inline constexpr const char* kAllOf = "/pFilter/gbAttr/gbAO/attrA1";
inline constexpr const char* kAnyOf = "/pFilter/gbAttr/gbAO/attrA0";
inline constexpr const char* kAttributeArchive = "/pFilter/gbAttr/cbAtAr";
inline constexpr const char* kAttributeCompressed = "/pFilter/gbAttr/cbAtCo";
inline constexpr const char* kAttributeHidden = "/pFilter/gbAttr/cbAtHi";
inline constexpr const char* kAttributeNormal = "/pFilter/gbAttr/cbAtNo";
inline constexpr const char* kAttributeOffline = "/pFilter/gbAttr/cbAtOf";
inline constexpr const char* kAttributeReadOnly = "/pFilter/gbAttr/cbAtRe";
inline constexpr const char* kAttributeSystem = "/pFilter/gbAttr/cbAtSy";
inline constexpr const char* kAttributeTemporary = "/pFilter/gbAttr/cbAtTe";

// A path and the Qt class (as QObject::inherits names it) that the code which
// looks it up needs the control to be.
struct typed_path {
  const char* path;
  const char* kind;
};

// Every control the main window looks up, relative to the main form.
inline constexpr typed_path kWindowControls[] = {
    {kTabs, "QFrame"},
    {kStylePage, "QFrame"},
    {kSourcePage, "QFrame"},
    {kOptionsPage, "QFrame"},
    {kBuildPage, "QFrame"},
    {kHeader, "QFrame"},
    {kNavigation, "QFrame"},
    {kHelp, "QAbstractButton"},
    {kPrevious, "QAbstractButton"},
    {kNext, "QAbstractButton"},
    {kStyles, "QListWidget"},
    {kStyleName, "QLabel"},
    {kStyleImage, "dirscribe::image_adapter"},
    {kStyleDescription, "QLabel"},
    {kEdit, "QAbstractButton"},
    {kCopy, "QAbstractButton"},
    {kRename, "QAbstractButton"},
    {kImage, "QAbstractButton"},
    {kDescribe, "QAbstractButton"},
    {kSource, "QLineEdit"},
    {kBrowse, "QAbstractButton"},
    {kRecursion, "QComboBox"},
    {kSingleFile, "QRadioButton"},
    {kFilePerFolder, "QRadioButton"},
    {kOutput, "QLineEdit"},
    {kChooseOutput, "QAbstractButton"},
    {kSort, "QComboBox"},
    {kAscending, "QToolButton"},
    {kDescending, "QToolButton"},
    {kShowFolders, "QCheckBox"},
    {kShowFiles, "QCheckBox"},
    {kDiskSpace, "QCheckBox"},
    {kRecursiveSizes, "QCheckBox"},
    {kLeaveOutEmpty, "QCheckBox"},
    {kFoldersAfterLevel, "QCheckBox"},
    {kShowSummary, "QCheckBox"},
    {kUrlEscape, "QComboBox"},
    {kSizeUnits, "QComboBox"},
    {kFileTypes, "QComboBox"},
    {kDateMode, "QComboBox"},
    {kDateFormat, "QLineEdit"},
    {kTryDate, "QAbstractButton"},
    {kUtc, "QCheckBox"},
    {kDateResult, "QLabel"},
    {kLocalIcons, "QCheckBox"},
    {kIconFolder, "QLineEdit"},
    {kLinkBase, "QLineEdit"},
    {kOutputDir, "QLineEdit"},
    {kBrowseOutputDir, "QAbstractButton"},
    {kOverwrite, "QCheckBox"},
    {kListingTitle, "QLineEdit"},
    {kThumbnails, "QCheckBox"},
    {kNewButton, "QAbstractButton"},
    {kOpenButton, "QAbstractButton"},
    {kSaveButton, "QAbstractButton"},
    {kMakeButton, "QAbstractButton"},
    {kStopButton, "QAbstractButton"},
    {kPreviewButton, "QAbstractButton"},
    {kMakePageButton, "QAbstractButton"},
    {kStopPageButton, "QAbstractButton"},
    {kPreviewPageButton, "QAbstractButton"},
    {kStatus, "QLabel"},
    {kProgress, "QProgressBar"},
    {kDoneRow, "QWidget"},
    {kWrittenFile, "QLabel"},
    {kOpenListing, "QAbstractButton"},
    {kShowFolder, "QAbstractButton"},
};

// Every control the filter page looks up, in the filter panel's document.
inline constexpr typed_path kFilterControls[] = {
    {kFilterPage, "QWidget"},
    {kFilesGroup, "QGroupBox"},
    {kFilesIncludeLabel, "QLabel"},
    {kFilesInclude, "QComboBox"},
    {kFilesSkip, "QLineEdit"},
    {kFilesSkipLabel, "QLabel"},
    {kFoldersGroup, "QGroupBox"},
    {kFoldersIncludeLabel, "QLabel"},
    {kFoldersSkipLabel, "QLabel"},
    {kFoldersInclude, "QLineEdit"},
    {kFoldersSkip, "QLineEdit"},
    {kTimeGroup, "QGroupBox"},
    {kTimeMode, "QComboBox"},
    {kTimeLabel, "QLabel"},
    {kStartDate, "QDateTimeEdit"},
    {kStartTime, "QDateTimeEdit"},
    {kTimeAndLabel, "QLabel"},
    {kEndDate, "QDateTimeEdit"},
    {kEndTime, "QDateTimeEdit"},
    {kLastLabel, "QLabel"},
    {kLastCount, "QLineEdit"},
    {kLastUnit, "QComboBox"},
    {kNowButton, "QAbstractButton"},
    {kSizeGroup, "QGroupBox"},
    {kSizeMode, "QComboBox"},
    {kSizeLabel, "QLabel"},
    {kSizeAndLabel, "QLabel"},
    {kSizeStart, "QLineEdit"},
    {kSizeEnd, "QLineEdit"},
    {kAttributeGroup, "QGroupBox"},
    {kIncludeExclude, "QWidget"},
    {kAllAny, "QWidget"},
    {kAttributeSwitch, "QCheckBox"},
    {kInclude, "QRadioButton"},
    {kExclude, "QRadioButton"},
    {kAllOf, "QRadioButton"},
    {kAnyOf, "QRadioButton"},
    {kAttributeArchive, "QCheckBox"},
    {kAttributeCompressed, "QCheckBox"},
    {kAttributeHidden, "QCheckBox"},
    {kAttributeNormal, "QCheckBox"},
    {kAttributeOffline, "QCheckBox"},
    {kAttributeReadOnly, "QCheckBox"},
    {kAttributeSystem, "QCheckBox"},
    {kAttributeTemporary, "QCheckBox"},
};

}  // namespace dirscribe::control_paths
