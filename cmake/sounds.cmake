# Filled in as the sounds generator lands.
