// SPDX-License-Identifier: GPL-3.0-or-later
// Linked with every library of the program whole, so that the link-time one-definition check
// sees every class and function together. Never run.
int main() {
    return 0;
}
