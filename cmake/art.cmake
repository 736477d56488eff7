# Filled in as the art generator lands.
