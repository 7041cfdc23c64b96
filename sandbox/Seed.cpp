#include "State.h"

void seed(State &state)
{
    state.accounts = {
        {"108000000000000000001", "alex.rivera@example.com", "Alex Rivera", "Alex", "Rivera"},
        {"108000000000000000002", "mira.okafor@example.com", "Mira Okafor", "Mira", "Okafor"},
        {"108000000000000000003", "empty.box@example.com", "Sam Empty", "Sam", "Empty"},
    };
    for (const Account &account : state.accounts)
        state.data[account.sub];
}
