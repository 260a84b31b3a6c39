# installation rules
