#pragma once
// The installer's fixed texts: page headers, page contents and the product's own wording.

namespace setup::texts {

inline constexpr const char* WindowCaption = "Quorvex Installer";
inline constexpr const char* WelcomeTitle = "Welcome to the Quorvex Installation Wizard";
inline constexpr const char* InstallSubtitle = "This wizard will install the Quorvex component on your computer.";
inline constexpr const char* UpdateSubtitle =
    "This wizard will update the Quorvex component version %s currently installed on your computer with "
    "newer version %s.";
inline constexpr const char* MaintenanceTitle = "Quorvex maintenance";
inline constexpr const char* MaintenanceSubtitle = "Select the maintanance operation to perform";
inline constexpr const char* LicenseTitle = "License agreement";
inline constexpr const char* LicenseSubtitle = "Please read the following license agreement carefully.";
inline constexpr const char* DestinationTitle = "Destination Folder";
inline constexpr const char* DestinationSubtitle = "Select a folder where the component will be installed.";
inline constexpr const char* IDETitle = "Choose IDE Targets";
inline constexpr const char* IDESubtitle = "Select all target IDEs where Quorvex should be installed";
inline constexpr const char* ConfigTitle = "Configuration";
inline constexpr const char* ConfigSubtitle = "Choose installation options for selected targets.";
inline constexpr const char* CompileTitle = "Compiling and Installing Packages";
inline constexpr const char* CompileSubtitle =
    "Quorvex packages will be compiled and installed now for selected Delphi and C++Builder versions.";

inline constexpr const char* Welcome =
    "It is strongly recommended that you exit all Delphi IDE before running this setup program.\r\n\r\n"
    "Click Cancel to quit the setup program, then close any programs you have running.  Click Next to "
    "continue the installation.\r\n\r\n"
    "This program is protected by copyright law. Copying or distributing it, or any part of it, without "
    "the permission of Veltrano Software is not allowed.";
inline constexpr const char* Description =
    "Quorvex is a suite of visual components for building database applications with Delphi and "
    "C++Builder.";

inline constexpr const char* MaintainChoice = "Add or Remove IDE installations";
inline constexpr const char* MaintainExplained =
    "Install Quorvex to new target IDE or remove installation from specific IDE.";
inline constexpr const char* UninstallChoice = "Uninstall Quorvex";
inline constexpr const char* UninstallExplained = "Delete Quorvex from this computer.";

inline constexpr const char* LicenseHint = "Press PAGE DOWN key to see the rest of the agreement.";
inline constexpr const char* Agree = "Yes, I accept this agreement";
inline constexpr const char* License =
    "QUORVEX LICENSE AGREEMENT\r\n\r\n"
    "1. Veltrano Software grants you the right to use Quorvex to build your own applications on the "
    "computers of your development team.\r\n\r\n"
    "2. You may distribute applications built with Quorvex without further fees. You may not distribute "
    "the Quorvex sources, packages or units themselves, nor a product that competes with Quorvex.\r\n\r\n"
    "3. Quorvex is supplied as it is. Veltrano Software is not liable for any damage that its use "
    "causes, to the extent the law allows.\r\n\r\n"
    "4. The licence ends when you break its terms; you then delete every copy of Quorvex.\r\n\r\n"
    "By checking the box below you accept these terms.";

inline constexpr const char* DestinationIntro = "Setup will install Quorvex in the following folder.";
inline constexpr const char* DestinationHowTo =
    "To install to this folder, click Next. To install to a different folder, click Browse and select "
    "another folder.";
inline constexpr const char* DestinationCaption = "Destination Folder";
inline constexpr const char* DestinationBrowse = "Browse...";
inline constexpr const char* DestinationBrowseTitle = "Choose Destination Location";

inline constexpr const char* OptionsFor = "Options for";
inline constexpr const char* InstallationOptions = "Installation options";
// In the order of TConfigOption and TConfigFolder.
inline constexpr const char* ConfigOptions[] = {"Compile Packages from sources", "IDE registration",
                                                "Compile ZEOS connectivity packages",
                                                "Compile CoreLab MyDAC connectivity packages",
                                                "Compile CoreLab Oracle DAC connectivity packages",
                                                "Add source location"};
inline constexpr const char* ConfigFolders[] = {"BPL Directory", "DCP Directory", "HPP Directory"};

inline constexpr const char* Progress = "Installation progress:";
inline constexpr const char* SaveBuildLog = "Save Build Log...";

}  // namespace setup::texts
