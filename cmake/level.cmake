# Filled in as the level generator lands.
