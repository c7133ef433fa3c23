namespace { [[maybe_unused]] int srk_placeholder = 0; }
