#include "channels/chaine.h"

#include <cstring>
#include <utility>

ChannelList Chaines;
std::vector<std::int32_t> Frequences;

Chaine MakeEmptyChaine()
{
    Chaine c;
    std::memset(&c, 0, sizeof c);
    return c;
}

void RemoveAt(ChannelList& list, std::size_t position)
{
    if (position < list.size())
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(position));
}

void SortByNumero(ChannelList& list)
{
    const std::size_t n = list.size();
    if (n < 2)
        return;
    for (std::size_t i = 0; i + 1 < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j)
            if (list[i].Numero > list[j].Numero)
                std::swap(list[i], list[j]);
}

int FindByNumero(const ChannelList& list, std::int32_t n)
{
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i].Numero == n)
            return static_cast<int>(i);
    return -1;
}

bool IsValidChannelIndex(const ChannelList& list, long long index)
{
    return index >= 0 && static_cast<unsigned long long>(index) < list.size();
}
