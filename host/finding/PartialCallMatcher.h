#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qarvel {

// The known calls (MASTER.SCP and the log's) searched as a call is typed:
// the calls holding the typed text, those starting with it first, `?`
// standing for any one character; and the N+1 calls, one character away
// from the typed call. A plain scan: 50 000 calls take well under a
// millisecond, and nothing has to be kept in step besides the sorted list.
class PartialCallMatcher {
public:
    struct Neighbour {
        std::string call;
        std::size_t marked = 0; // index in `call` of the character that differs
    };
    struct Result {
        std::vector<std::string> partial; // prefix matches first, each part sorted
        std::vector<Neighbour> neighbours;
        std::size_t partialTotal = 0; // all that matched; `partial` holds the first `limit`
        bool Unique() const { return partialTotal == 0 && neighbours.empty(); }
    };

    // Upper-case calls; duplicates and empty ones are dropped.
    void SetCalls(std::vector<std::string> calls);
    // A call of the log's that the list may not hold yet.
    void AddCall(std::string_view call);
    std::size_t Size() const { return calls_.size(); }
    bool Contains(std::string_view call) const;

    // Nothing below two typed characters. At most `limit` partial matches
    // and `limit` neighbours are returned.
    Result Find(std::string_view typed, std::size_t limit) const;

private:
    std::vector<std::string> calls_; // sorted, unique
};

} // namespace qarvel
