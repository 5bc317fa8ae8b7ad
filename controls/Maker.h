// Who makes the program: the about box's maker line and its two links.
#pragma once

constexpr const char* MakerLine = "Ein Programm des Tarvo-Projekts";
constexpr const char* MakerEMail = "kontakt@tarvo.example";
constexpr const char* MakerWebAddress = "www.tarvo.example";
