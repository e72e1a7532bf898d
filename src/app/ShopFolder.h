#pragma once
// Where the shop's files live. A copy run from its build folder works
// beside itself, as the shop's program always has: HMWcfg.dat and the
// database next to the program file. An installed copy (its program file in
// the system's program folder, which is read-only for the operator) works
// in a shop folder instead: named on the command line, remembered from an
// earlier start, or chosen at the first start (~/ひまわり帳 offered).

#include <QString>
#include <QStringList>
#include <optional>

// The folder the package installs the program file to.
QString installedProgramDirectory();

// The shop folder named by "--shop DIR" among the arguments, if any.
std::optional<QString> shopFolderArgument(const QStringList& arguments);

// The folder the program works in: the one named on the command line; the
// program's own folder for a copy that is not installed; for an installed
// copy the folder remembered in the operator's settings or, at the first
// start, the one the operator types (~/ひまわり帳 offered; it is created).
// nullopt when the operator cancelled the choice (the program ends).
std::optional<QString> chooseShopFolder(const QString& programDirectory, const QStringList& arguments);

// The files of a new shop in an empty folder: a starting HMWcfg.dat (the
// shop's details empty, today's rates 10 % and 8 % reduced, the database
// himawari.db and the backup folders inside the folder, slip counter 1,
// administrator code 0) and an empty database. Returns true when it wrote
// them; a folder that already holds HMWcfg.dat is left alone (false).
// Throws OperatorError when the files cannot be written.
bool prepareNewShop(const QString& folder);

// What the operator is told once a new shop was prepared.
QString newShopMessage(const QString& folder);
