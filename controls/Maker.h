// Who makes the program: the about box's maker line and its two links, and
// the server its updates come from ("host" or "host:port"; the updater's
// registry value "UpdateServer" names a mirror instead).
#pragma once

constexpr const char* MakerLine = "Ein Programm des Tarvo-Projekts";
constexpr const char* MakerEMail = "kontakt@tarvo.example";
constexpr const char* MakerWebAddress = "www.tarvo.example";
constexpr const char* MakerUpdateServer = "update.tarvo.example";
