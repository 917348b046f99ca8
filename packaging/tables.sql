-- What wixl cannot author, added to its package by cmake/build-msi.cmake: one statement a line.
-- The verb key (the program writes no value in it): made at install, removed with its subkeys
-- at uninstall.
INSERT INTO `Registry` (`Registry`, `Root`, `Key`, `Name`, `Component_`) VALUES ('VerbKey', 0, 'MQLEditor4.File\shell\Compile', '*', 'Program')
-- Where the program's own registration lands when HKCR is refused to it; removed at uninstall.
INSERT INTO `Registry` (`Registry`, `Root`, `Key`, `Name`, `Component_`) VALUES ('UserVerbKey', 1, 'Software\Classes\MQLEditor4.File\shell\Compile', '-', 'Program')
-- The entry on every .mq5 file may be another program's: its component is installed only where
-- the entry is missing or names Tarvex.exe.
INSERT INTO `AppSearch` (`Property`, `Signature_`) VALUES ('MQ5ENTRY', 'Mq5Entry')
INSERT INTO `RegLocator` (`Signature_`, `Root`, `Key`, `Type`) VALUES ('Mq5Entry', 0, 'SystemFileAssociations\.mq5\shell\Compile\command', 2)
INSERT INTO `InstallUISequence` (`Action`, `Sequence`) VALUES ('AppSearch', 50)
INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('AppSearch', 50)
UPDATE `Component` SET `Condition` = 'NOT MQ5ENTRY OR MQ5ENTRY ~>< "\Tarvex.exe"' WHERE `Component` = 'Mq5Entry'
-- The verb on every .mq4 and .mq5 file, which the program writes (on .mq4 files while another
-- class owns them), and "Compile in" for each: removed at uninstall by RemoveEntries.exe (an
-- executable of the Binary table, run in the script after the rows above are removed, its
-- failure ignored), which leaves another program's entry there; not when an upgrade removes the
-- old version.
INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('RemoveOwnEntries', 1090, 'RemoveEntries', '')
INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('RemoveOwnEntries', 'REMOVE~="ALL" AND NOT UPGRADINGPRODUCTCODE', 2610)
-- The program's options; removed at uninstall. The terminal's keys beside it are not ours.
INSERT INTO `Registry` (`Registry`, `Root`, `Key`, `Name`, `Component_`) VALUES ('OptionsKey', 1, 'Software\MetaQuotes Software\brenholt', '-', 'Program')
-- The parent of the install folder, made in the profile too: removed at uninstall once empty.
INSERT INTO `RemoveFile` (`FileKey`, `Component_`, `DirProperty`, `InstallMode`) VALUES ('RemoveUserPrograms', 'Program', 'UserProgramsFolder', 2)
-- Upgrade in place: the old version is removed after the new one's files and registry values are
-- in, so the component they share, and with it the options, is never uninstalled; and before the
-- new one registers itself, as Wine's msiexec drops the whole upgrade code's registration then.
INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('InstallExecute', 5900)
UPDATE `InstallExecuteSequence` SET `Sequence` = 5910 WHERE `Action` = 'RemoveExistingProducts'
-- A package of the same version replaces an installed one too, instead of adding a second entry.
DELETE FROM `Upgrade` WHERE `ActionProperty` = 'WIX_UPGRADE_DETECTED'
INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMax`, `Attributes`, `ActionProperty`) VALUES ('@UPGRADE_CODE@', '@VERSION@', 513, 'WIX_UPGRADE_DETECTED')
-- A newer install refuses an older package. An explicit upper bound that Wine's msiexec, which
-- compares versions as signed numbers and takes a missing bound as 0, does not misread.
DELETE FROM `Upgrade` WHERE `ActionProperty` = 'WIX_DOWNGRADE_DETECTED'
INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMin`, `VersionMax`, `Attributes`, `ActionProperty`) VALUES ('@UPGRADE_CODE@', '@VERSION@', '127.255.65535', 514, 'WIX_DOWNGRADE_DETECTED')
-- A versioned file: a newer program replaces an older one, never the other way round.
UPDATE `File` SET `Version` = '@VERSION4@' WHERE `File` = 'TarvexExe'
-- The dialogs of ui/*.idt: licence before the install, progress, and the endings.
INSERT INTO `InstallUISequence` (`Action`, `Condition`, `Sequence`) VALUES ('LicenseDlg', 'NOT Installed', 1250)
INSERT INTO `InstallUISequence` (`Action`, `Sequence`) VALUES ('ProgressDlg', 1280)
INSERT INTO `InstallUISequence` (`Action`, `Sequence`) VALUES ('ExitDlg', -1)
INSERT INTO `InstallUISequence` (`Action`, `Sequence`) VALUES ('UserExitDlg', -2)
INSERT INTO `InstallUISequence` (`Action`, `Sequence`) VALUES ('FatalErrorDlg', -3)
