#pragma once
// The frequency plan file "canaux.ini" read through the private-profile services:
// one section per city, keys R1..R6 holding UHF channel numbers.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// First entry of the city list; not a section name, so it always means the full band.
extern const wchar_t kUnspecifiedCity[];

// "<current directory>\canaux.ini".
std::wstring FrequencyPlanPath();

// Appends the frequencies of `city` read from `iniPath` to `frequencies`.
void BuildFrequencyList(const wchar_t* city, const std::wstring& iniPath,
                        std::vector<std::int32_t>& frequencies);

// Appends the frequencies of `city` from canaux.ini in the current directory to Frequences.
void BuildFrequencyList(const wchar_t* city);

// The entries of the city list: kUnspecifiedCity, then the section names of
// `iniPath` in file order, as one read into an 8192-character buffer gives them.
std::vector<std::wstring> ReadCityList(const std::wstring& iniPath);

// Adds the city list of canaux.ini in the current directory to combo box `comboId`
// of `dialog`.
void FillCityList(HWND dialog, int comboId);
